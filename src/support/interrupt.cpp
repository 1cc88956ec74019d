// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/interrupt.h"

#include "support/interrupt_platform.h"

namespace {

std::atomic<std::atomic<bool>*> g_flag{nullptr};
std::atomic<bool> g_value{false};

}  // namespace

void CInterrupt::interrupted() {
    if (std::atomic<bool>* flag = g_flag.load()) {
        flag->store(g_value.load());
    }
}

CInterrupt::CInterrupt(std::atomic<bool>& flag, bool value) {
    g_value = value;
    g_flag = &flag;
    interrupt_platform::catchInterrupts();
}

CInterrupt::~CInterrupt() {
    interrupt_platform::releaseInterrupts();
    g_flag = nullptr;
}
