// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/interrupt.h"

#include <windows.h>

// The Windows form: the console's control handler, which the system calls on a thread
// of its own for Ctrl+C, Ctrl+Break and the closing of the console window.

namespace {

std::atomic<std::atomic<bool>*> g_flag{nullptr};
std::atomic<bool> g_value{false};

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

void CInterrupt::interrupted() {
    if (std::atomic<bool>* flag = g_flag.load()) {
        flag->store(g_value.load());
    }
}

CInterrupt::CInterrupt(std::atomic<bool>& flag, bool value) {
    g_value = value;
    g_flag = &flag;
    ::SetConsoleCtrlHandler(onControl, TRUE);
}

CInterrupt::~CInterrupt() {
    ::SetConsoleCtrlHandler(onControl, FALSE);
    g_flag = nullptr;
}
