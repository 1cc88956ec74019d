// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The processes of this machine as /proc shows them at one moment: their names and the
// serial devices and pseudo-terminals they hold open. Processes of other users are only seen as far
// as the system lets this user read their folders (their open files not at all, unless root).
// On Windows the table is empty (process_table_win32.cpp says why).
class CProcessTable {
  public:
    struct process_t {
        int pid = 0;
        std::string name;  // the "comm" of the process ("ModemManager")
        bool operator==(const process_t&) const = default;
    };

    // Reads `procDir` (normally /proc) now; the process `skipPid` (this program) is left
    // out, so a port it holds itself is not reported as taken by another.
    explicit CProcessTable(const std::string& procDir, int skipPid);

    // Processes with `devicePath` ("/dev/ttyUSB0") open, lowest PID first.
    std::vector<process_t> holdersOf(const std::string& devicePath) const;
    // Processes of that name, lowest PID first.
    std::vector<process_t> named(const std::string& name) const;

    // "ModemManager (PID 812)", several joined with ", "; empty for none.
    static std::string describe(const std::vector<process_t>& processes);

  private:
    struct entry_t {
        process_t process;
        std::vector<std::string> devices;  // open terminals: /dev/tty*, /dev/pts/*
        std::vector<std::string> masters;  // pseudo-terminals whose master side it holds
    };

    std::vector<entry_t> entries_;
};
