// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/interrupt.h"

#include <csignal>

#include "support/interrupt_platform.h"

// The POSIX form: SIGINT (Ctrl+C) and SIGTERM.

namespace {

extern "C" void onSignal(int) {
    CInterrupt::interrupted();
}

}  // namespace

namespace interrupt_platform {

void catchInterrupts() {
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

void releaseInterrupts() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

}  // namespace interrupt_platform
