#pragma once

#include <string>

// Turns a COM port number (1, 2, …) into a device path. The pattern holds one %d,
// replaced by the number minus one ("/dev/ttyUSB%d" makes port 1 /dev/ttyUSB0). An
// override path, when set, stands for port 1 and shifts the pattern by one, so a named
// device is tried first.
class CPortNames {
  public:
    static constexpr const char* kDefaultPattern = "/dev/ttyUSB%d";

    explicit CPortNames(std::string pattern = kDefaultPattern) : pattern_(std::move(pattern)) {}

    void setPattern(std::string pattern) { pattern_ = std::move(pattern); }
    void setFirstPath(std::string path) { firstPath_ = std::move(path); }
    const std::string& pattern() const { return pattern_; }
    const std::string& firstPath() const { return firstPath_; }

    std::string pathOf(int port) const;

  private:
    std::string pattern_;
    std::string firstPath_;
};
