// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// Messages of failed serial-port operations for the user of this machine: the first
// line says what to do, the second names the operation, the device and the system's
// error (its errno name and text; on Windows the GetLastError() number and its text,
// serial_errors_win32.cpp).
namespace serial_errors {

// This system's numbers for what a line reports: no such device, a device that went
// away, a line that is not open (ENOENT, EIO, EBADF; on Windows ERROR_FILE_NOT_FOUND,
// ERROR_GEN_FAILURE, ERROR_INVALID_HANDLE).
extern const int kNoDevice;
extern const int kDeviceGone;
extern const int kNotOpen;

// "ENOENT"; "errno 123" for a number the system has no name for.
std::string errnoName(int err);
// The error in Polish ("urządzenie odłączone" for EIO); the system's text otherwise.
std::string errnoText(int err);

// `operation` is the raising function ("open(1)", "read()"), `path` the device,
// `present` the serial ports that exist (listed when the device is missing) and `holder`
// the process that holds a busy port ("ModemManager (PID 812)"), when it is known.
std::string message(const std::string& operation, const std::string& path, int err,
                    const std::vector<std::string>& present, const std::string& holder = {});
// The first line of message() for a port that cannot be opened.
std::string openAdvice(const std::string& path, int err, const std::vector<std::string>& present,
                       const std::string& holder = {});

}  // namespace serial_errors
