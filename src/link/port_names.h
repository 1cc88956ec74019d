// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// Turns a COM port number (1, 2, …) into a device path. The pattern holds one %d,
// replaced by the number minus one ("/dev/ttyUSB%d" makes port 1 /dev/ttyUSB0); on
// Windows by the number itself ("COM%d" makes port 1 COM1). An
// override path, when set, stands for port 1 and shifts the pattern by one, so a named
// device is tried first. Ports after the numbered ones (5, 6, …) stand for further
// devices found on the machine, when those are set.
class CPortNames {
  public:
#ifdef _WIN32
    static constexpr const char* kDefaultPattern = "COM%d";
    static constexpr int kFirstNumber = 1;
#else
    static constexpr const char* kDefaultPattern = "/dev/ttyUSB%d";
    static constexpr int kFirstNumber = 0;
#endif
    static constexpr int kNumberedPorts = 4;

    explicit CPortNames(std::string pattern = kDefaultPattern) : pattern_(std::move(pattern)) {}

    void setPattern(std::string pattern) {
        pattern_ = std::move(pattern);
    }
    void setFirstPath(std::string path) {
        firstPath_ = std::move(path);
    }
    // Devices that become ports 5, 6, … (those the numbered ports already reach are
    // left out); port numbers beyond them follow the pattern again.
    void setFoundPaths(const std::vector<std::string>& paths);
    int foundCount() const {
        return static_cast<int>(found_.size());
    }
    const std::string& pattern() const {
        return pattern_;
    }
    const std::string& firstPath() const {
        return firstPath_;
    }

    std::string pathOf(int port) const;

    // The device that port 1 is by default, as an example in help texts: "/dev/ttyUSB0",
    // on Windows "COM1".
    static std::string example() {
        return CPortNames().pathOf(1);
    }
    // Typed text that names a device rather than a port number: a path ("/dev/ttyUSB0"),
    // on Windows a port name ("COM7", "\\.\COM12").
    static bool isDeviceName(const std::string& text);

    // The serial devices that exist, for a message about a missing one: /dev/ttyUSB*,
    // /dev/ttyACM*, and those /dev/ttyS* behind which the kernel found a UART (its
    // "type" in sysfs is not 0; every machine has dozens of empty ttyS nodes).
    static std::vector<std::string> presentPorts(const std::string& devDir = "/dev",
                                                 const std::string& sysDir = "/sys/class/tty");

  private:
    std::string pattern_;
    std::string firstPath_;
    std::vector<std::string> found_;
};
