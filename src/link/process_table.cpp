// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/process_table.h"

#include <algorithm>

// What both systems share: the questions asked of the table once it is read. Reading it
// is in process_table_posix.cpp and process_table_win32.cpp.

std::vector<CProcessTable::process_t> CProcessTable::holdersOf(
    const std::string& devicePath) const {
    std::vector<process_t> holders;
    auto has = [&](const std::vector<std::string>& paths) {
        return std::find(paths.begin(), paths.end(), devicePath) != paths.end();
    };
    for (const auto& entry : entries_) {
        // The program at the master side of a pseudo-terminal (a simulator keeping its
        // line open) is the line's other end, not a rival for it.
        if (has(entry.devices) && !has(entry.masters)) {
            holders.push_back(entry.process);
        }
    }
    return holders;
}

std::vector<CProcessTable::process_t> CProcessTable::named(const std::string& name) const {
    std::vector<process_t> found;
    for (const auto& entry : entries_) {
        if (entry.process.name == name) {
            found.push_back(entry.process);
        }
    }
    return found;
}

std::string CProcessTable::describe(const std::vector<process_t>& processes) {
    std::string text;
    for (const auto& process : processes) {
        text += (text.empty() ? "" : ", ") + process.name + " (PID " + std::to_string(process.pid) +
                ")";
    }
    return text;
}
