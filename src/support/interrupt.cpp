// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/interrupt.h"

#include <csignal>

namespace {

std::atomic<std::atomic<bool>*> g_flag{nullptr};
std::atomic<bool> g_value{false};

extern "C" void onSignal(int) {
    CInterrupt::interrupted();
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
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

CInterrupt::~CInterrupt() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    g_flag = nullptr;
}
