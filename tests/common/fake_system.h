// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "temp_dir.h"

// A made-up system tree (/dev, /sys/class/tty, /proc, udev rules) in a temporary folder,
// which the port listing reads instead of the real one while the object lives.
class CFakeSystem {
  public:
    CFakeSystem();
    ~CFakeSystem();
    CFakeSystem(const CFakeSystem&) = delete;
    CFakeSystem& operator=(const CFakeSystem&) = delete;

    // A device node stand-in /dev/NAME with these permission bits.
    void addDevice(const std::string& name, mode_t mode = 0666);
    // sysfs "type" of a ttyS port: 0 for an empty node, anything else for a UART.
    void setUartType(const std::string& name, int type);
    // The USB adapter driver's latency timer of tty NAME, in ms.
    void setLatencyTimer(const std::string& name, int ms);
    // /dev/serial/by-id/NAME pointing at `target` ("../../ttyUSB0").
    void addById(const std::string& name, const std::string& target);
    // /proc/PID with its name and the devices it holds open ("/dev/ttyACM0").
    void addProcess(int pid, const std::string& name, const std::vector<std::string>& open = {});
    // Any file below the root ("/usr/lib/udev/rules.d/85-brltty.rules").
    void addFile(const std::string& path);

    std::string root() const { return root_.string(); }

    // Names of this process's user and group, as the listing shows a file's owner.
    static std::string ownerName();
    static std::string groupName();

  private:
    CTempDir folder_;
    std::filesystem::path root_ = folder_.root();
    std::string previous_;
    bool hadPrevious_ = false;
};
