#include "link/process_table.h"

#include <algorithm>
#include <cctype>
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

// Only serial devices matter here; a process has many other files open.
std::vector<std::string> ttysOpenIn(const fs::path& folder) {
    std::vector<std::string> devices;
    std::error_code error;
    for (const auto& fd : fs::directory_iterator(folder / "fd", error)) {
        std::error_code linkError;
        const std::string target = fs::read_symlink(fd.path(), linkError).string();
        if (!linkError && target.rfind("/dev/tty", 0) == 0) {
            devices.push_back(target);
        }
    }
    return devices;
}

}  // namespace

CProcessTable::CProcessTable(const std::string& procDir, int skipPid) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(procDir, error)) {
        const int pid = pidOf(entry.path().filename().string());
        if (pid <= 0 || pid == skipPid) {
            continue;
        }
        entries_.push_back({{pid, commOf(entry.path())}, ttysOpenIn(entry.path())});
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const entry_t& a, const entry_t& b) { return a.process.pid < b.process.pid; });
}

std::vector<CProcessTable::process_t> CProcessTable::holdersOf(
    const std::string& devicePath) const {
    std::vector<process_t> holders;
    for (const auto& entry : entries_) {
        if (std::find(entry.devices.begin(), entry.devices.end(), devicePath) !=
            entry.devices.end()) {
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
