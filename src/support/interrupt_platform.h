// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's part of CInterrupt (interrupt.cpp): a handler that calls
// CInterrupt::interrupted() for Ctrl+C and a request to end, in a POSIX form
// (interrupt_posix.cpp, signals) and a Windows form (interrupt_win32.cpp, the console's
// control handler).
namespace interrupt_platform {

void catchInterrupts();
// The system's default again.
void releaseInterrupts();

}  // namespace interrupt_platform
