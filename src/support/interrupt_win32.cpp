// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/interrupt.h"

#include <windows.h>

#include "support/interrupt_platform.h"

// The Windows form: the console's control handler, which the system calls on a thread
// of its own for Ctrl+C, Ctrl+Break and the closing of the console window.

namespace {

BOOL WINAPI onControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            CInterrupt::interrupted();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

namespace interrupt_platform {

void catchInterrupts() {
    ::SetConsoleCtrlHandler(onControl, TRUE);
}

void releaseInterrupts() {
    ::SetConsoleCtrlHandler(onControl, FALSE);
}

}  // namespace interrupt_platform
