// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

class CProcessTable;

// A serial device of this machine as the port listing shows it.
struct port_entry_t {
    std::string path;         // "/dev/ttyUSB0"
    std::string byId;         // "/dev/serial/by-id/usb-FTDI_…-if00-port0"; empty when none
    std::string description;  // the adapter's name, or what kind of port it is
    bool accessible = false;  // this user may open it now
    // Empty when the port can be used; otherwise what to do, and on a second line the
    // system's error.
    std::string problem;
    // How long the USB adapter holds received bytes before passing them on (ms); -1
    // when the driver has no such timer.
    int latencyMs = -1;
    // Empty unless the timer slows the exchanges down; then what to do about it.
    std::string latencyAdvice;
};

// The serial devices that exist (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS* with a UART, and
// what /dev/serial/by-id names), whether this user may open each, and if not, why and
// what to do. It only looks: a port is never opened, since opening raises DTR and
// resets some boards. The system is read below a root folder, "/" unless the
// environment variable VAPRON_SYSTEM_ROOT names another (tests give a made-up tree).
// On Windows (port_list_win32.cpp) the ports are the COM ports the registry lists under
// HARDWARE\DEVICEMAP\SERIALCOMM; who holds one is not told there.
class CPortList {
  public:
    static constexpr const char* kRootVariable = "VAPRON_SYSTEM_ROOT";
    static constexpr const char* kNoPorts =
        "Nie ma żadnego portu szeregowego: podłącz przejściówkę USB–RS-232 do komputera.";

    struct listing_t {
        std::vector<port_entry_t> ports;
        // Programs known to take USB serial adapters away, when they are here: what to
        // do, then a second line with what was found.
        std::vector<std::string> warnings;
    };

    CPortList();
    explicit CPortList(std::string root);

#ifndef _WIN32
    // Judges access as for this user instead of the process's own (tests run as root).
    void pretendUser(uid_t uid, std::vector<gid_t> groups);
#endif

    listing_t list() const;
    // One device, listed or not: a missing path is explained as well.
    port_entry_t check(const std::string& path) const;
    // The USB adapters (/dev/ttyUSB*, /dev/ttyACM*) that exist, in listing order.
    std::vector<std::string> usbAdapters() const;
    // "ModemManager (PID 812)" for the processes that hold `path` open; empty if none is
    // seen (other users' processes are hidden from all but root).
    std::string holderOf(const std::string& path) const;

    // The adapter's latency timer in ms (-1 when it has none), read from the system.
    int latencyTimer(const std::string& path) const;
    // Asks the driver of an open port to pass received bytes on at once: the low-latency
    // flag, and 1 ms in the latency timer where this user may write it. Returns the
    // timer as it is afterwards (-1 when there is none).
    int requestLowLatency(int fd, const std::string& path) const;
    // What to do about a latency timer of `ms`; empty when it costs nothing worth saying.
    static std::string latencyAdvice(int ms);

    // "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" → "FTDI FT232R USB UART A50285BI".
    static std::string adapterName(const std::string& byIdName);

  private:
    std::string root_;
#ifndef _WIN32
    using link_t = std::pair<std::string, std::string>;  // by-id path, device path

    std::string rooted(const std::string& path) const {
        return root_ + path;
    }
    std::string deviceOf(const std::string& path) const;
    std::string latencyFile(const std::string& device) const;
    std::vector<std::string> presentPaths() const;
    std::vector<link_t> byIdLinks() const;
    port_entry_t entryFor(const std::string& path, const std::string& byId,
                          const CProcessTable& processes,
                          const std::vector<std::string>& present) const;
    bool mayOpen(const struct stat& info, const std::string& path) const;
    std::vector<std::string> warnings(const CProcessTable& processes) const;
    bool pretending_ = false;
    uid_t uid_;
    std::vector<gid_t> groups_;
#endif
};
