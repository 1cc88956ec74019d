// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "link/i_serial_line.h"
#include "link/port_names.h"
#include "support/error_helper.h"
#include "support/rs_error.h"

// The RS-232 line on termios (serial_port_posix.cpp) or the Win32 COM device
// (serial_port_win32.cpp). Opened exclusively (TIOCEXCL and flock), so a port
// that another program holds fails like a missing one. A device that hung up (an
// unplugged USB adapter) raises code 6 at once instead of passing for a silent line.
class CSerialPort : public ISerialLine, public IErrorHelper<CRSError> {
  public:
    CSerialPort() = default;
    ~CSerialPort() override;

    void setPortNames(const CPortNames& names) { names_ = names; }
    const CPortNames& portNames() const { return names_; }

    void open(int port) override;
    int searchPorts() override;
    std::string portName(int port) const override { return names_.pathOf(port); }
    void close() override;
    bool isOpen() const override;
    void configure() override;
    void setTimeouts(const serial_timeouts_t& timeouts) override;
    int read(std::uint8_t* buffer, int n) override;
    int write(const std::uint8_t* buffer, int n) override;
    void purgeIn() override;
    void purgeOut() override;

    // Number of the port last opened successfully; 0 before the first.
    int port() const { return port_; }
    const std::string& path() const { return path_; }

  private:
    // Raises CRSError with a message for the user of this machine (serial_errors.h).
    [[noreturn]] void raiseErrno(unsigned code, const std::string& operation, int err,
                                 int line) const;
    [[noreturn]] void raiseFor(unsigned code, const std::string& operation, const std::string& path,
                               int err, int line) const;
    [[noreturn]] void raiseHangUp(int line) const;
    void raiseIfHungUp(short revents, int line) const;
    bool clearLineError();  // the Windows form's recovery after a line error

    int fd_ = -1;
    void* handle_ = nullptr;  // the device's handle in the Windows form
    int port_ = 0;
    std::string path_;
    CPortNames names_;
    serial_timeouts_t timeouts_;
};
