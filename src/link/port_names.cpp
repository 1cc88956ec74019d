// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

// The number after `prefix` in a device name ("ttyUSB12" → 12), -1 when there is none.
long numberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
        return -1;
    }
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) {
        return -1;
    }
    return std::stol(digits);
}

bool hasUart(const std::string& sysDir, const std::string& name) {
    std::ifstream type(sysDir + "/" + name + "/type");
    int value = -1;
    // Without sysfs nothing can be told; the device is listed then.
    return !(type >> value) || value != 0;
}

}  // namespace

void CPortNames::setFoundPaths(const std::vector<std::string>& paths) {
    found_.clear();
    std::vector<std::string> numbered;
    for (int port = 1; port <= kNumberedPorts; ++port) {
        numbered.push_back(pathOf(port));
    }
    for (const auto& path : paths) {
        if (std::find(numbered.begin(), numbered.end(), path) == numbered.end()) {
            found_.push_back(path);
        }
    }
}

std::string CPortNames::pathOf(int port) const {
    const int foundIndex = port - kNumberedPorts - 1;
    if (foundIndex >= 0 && foundIndex < foundCount()) {
        return found_[static_cast<std::size_t>(foundIndex)];
    }
    int index = port - 1 + kFirstNumber;
    if (!firstPath_.empty()) {
        if (port == 1) {
            return firstPath_;
        }
        index = port - 2 + kFirstNumber;
    }
    const auto mark = pattern_.find("%d");
    if (mark == std::string::npos) {
        return pattern_;
    }
    return pattern_.substr(0, mark) + std::to_string(index) + pattern_.substr(mark + 2);
}

bool CPortNames::isDeviceName(const std::string& text) {
#ifdef _WIN32
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    const bool com = text.size() > 3 && ::toupper(text[0]) == 'C' && ::toupper(text[1]) == 'O' &&
                     ::toupper(text[2]) == 'M' &&
                     std::all_of(text.begin() + 3, text.end(), isDigit);
    return com || text.rfind("\\\\", 0) == 0;
#else
    return text.rfind('/', 0) == 0;
#endif
}

std::vector<std::string> CPortNames::presentPorts(const std::string& devDir,
                                                  const std::string& sysDir) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(devDir, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::vector<std::string> present;
    for (const std::string prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::vector<std::pair<long, std::string>> found;
        for (const auto& name : names) {
            const long number = numberAfter(name, prefix);
            if (number >= 0 && (prefix != "ttyS" || hasUart(sysDir, name))) {
                found.emplace_back(number, name);
            }
        }
        std::sort(found.begin(), found.end());
        for (const auto& [number, name] : found) {
            present.push_back(devDir + "/" + name);
        }
    }
    return present;
}
