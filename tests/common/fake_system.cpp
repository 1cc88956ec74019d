// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_system.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "link/port_list.h"

namespace fs = std::filesystem;

CFakeSystem::CFakeSystem() {
    fs::create_directories(root_ / "dev");
    fs::create_directories(root_ / "sys/class/tty");
    fs::create_directories(root_ / "proc");
    if (const char* value = std::getenv(CPortList::kRootVariable)) {
        previous_ = value;
        hadPrevious_ = true;
    }
    ::setenv(CPortList::kRootVariable, root().c_str(), 1);
}

CFakeSystem::~CFakeSystem() {
    if (hadPrevious_) {
        ::setenv(CPortList::kRootVariable, previous_.c_str(), 1);
    } else {
        ::unsetenv(CPortList::kRootVariable);
    }
}

void CFakeSystem::addDevice(const std::string& name, mode_t mode) {
    const fs::path path = root_ / "dev" / name;
    std::ofstream(path).put('\0');
    fs::permissions(path, static_cast<fs::perms>(mode));
}

void CFakeSystem::setUartType(const std::string& name, int type) {
    fs::create_directories(root_ / "sys/class/tty" / name);
    std::ofstream(root_ / "sys/class/tty" / name / "type") << type << "\n";
}

void CFakeSystem::setLatencyTimer(const std::string& name, int ms) {
    fs::create_directories(root_ / "sys/class/tty" / name / "device");
    std::ofstream(root_ / "sys/class/tty" / name / "device/latency_timer") << ms << "\n";
}

void CFakeSystem::addById(const std::string& name, const std::string& target) {
    fs::create_directories(root_ / "dev/serial/by-id");
    fs::create_symlink(target, root_ / "dev/serial/by-id" / name);
}

void CFakeSystem::addProcess(int pid, const std::string& name,
                             const std::vector<std::string>& open) {
    const fs::path folder = root_ / "proc" / std::to_string(pid);
    fs::create_directories(folder / "fd");
    std::ofstream(folder / "comm") << name << "\n";
    int fd = 3;
    for (const auto& device : open) {
        fs::create_symlink(device, folder / "fd" / std::to_string(fd++));
    }
}

void CFakeSystem::addFile(const std::string& path) {
    const fs::path file = root_ / fs::path(path).relative_path();
    fs::create_directories(file.parent_path());
    std::ofstream(file).put('\n');
}

std::string CFakeSystem::ownerName() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry != nullptr ? entry->pw_name : std::to_string(::geteuid());
}

std::string CFakeSystem::groupName() {
    const group* entry = ::getgrgid(::getegid());
    return entry != nullptr ? entry->gr_name : std::to_string(::getegid());
}
