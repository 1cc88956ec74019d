// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/process_table.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

int pidOf(const std::string& name) {
    if (name.empty() || name.size() > 9 ||
        !std::all_of(name.begin(), name.end(), [](char c) { return std::isdigit(c) != 0; })) {
        return 0;
    }
    return std::stoi(name);
}

std::string commOf(const fs::path& folder) {
    std::ifstream in(folder / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The pseudo-terminal whose master side an open /dev/ptmx is ("/dev/pts/3"); the
// system tells its number in the descriptor's fdinfo.
std::string ptyOfMaster(const fs::path& folder, const fs::path& fd) {
    std::ifstream in(folder / "fdinfo" / fd.filename());
    std::string line;
    while (std::getline(in, line)) {
        if (startsWith(line, "tty-index:")) {
            return "/dev/pts/" + std::to_string(std::atoi(line.c_str() + 10));
        }
    }
    return {};
}

// Only terminal devices matter here, serial and pseudo; a process has many other
// files open.
void ttysOpenIn(const fs::path& folder, std::vector<std::string>& devices,
                std::vector<std::string>& masters) {
    std::error_code error;
    for (const auto& fd : fs::directory_iterator(folder / "fd", error)) {
        std::error_code linkError;
        const std::string target = fs::read_symlink(fd.path(), linkError).string();
        if (linkError) {
            continue;
        }
        if (target == "/dev/ptmx" || target == "/dev/pts/ptmx") {
            if (std::string pty = ptyOfMaster(folder, fd.path()); !pty.empty()) {
                masters.push_back(std::move(pty));
            }
        } else if (startsWith(target, "/dev/tty") || startsWith(target, "/dev/pts/")) {
            devices.push_back(target);
        }
    }
}

}  // namespace

CProcessTable::CProcessTable(const std::string& procDir, int skipPid) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(procDir, error)) {
        const int pid = pidOf(entry.path().filename().string());
        if (pid <= 0 || pid == skipPid) {
            continue;
        }
        entry_t found{{pid, commOf(entry.path())}, {}, {}};
        ttysOpenIn(entry.path(), found.devices, found.masters);
        entries_.push_back(std::move(found));
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const entry_t& a, const entry_t& b) { return a.process.pid < b.process.pid; });
}

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
