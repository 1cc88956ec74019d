// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/process_table.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

// The POSIX form: /proc read once, each process's name and the terminals among its open
// files.

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
