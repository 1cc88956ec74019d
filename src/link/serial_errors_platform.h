// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// What the Polish advice of serial_errors.cpp needs from the system's error numbers, in
// a POSIX form (serial_errors_posix.cpp, errno) and a Windows form
// (serial_errors_win32.cpp, GetLastError()).
namespace serial_errors_platform {

// What the user can do about a failed port operation.
enum class Trouble {
    Missing,  // opening a port that is not there
    Denied,   // the user may not use serial ports
    Busy,     // another program holds the port
    NotOpen,  // the line was used without being open
    Gone,     // the device went away while in use
    Other,
};

// `opening`: the failed operation was the opening of the port.
Trouble troubleOf(int err, bool opening);
// Why no port is offered when the system has none, for "(…)" after the advice.
extern const char* const kNoPortsText;
// The end of a message's second line after the device: the error's name or number and
// the system's text.
std::string errorDetail(int err);

}  // namespace serial_errors_platform
