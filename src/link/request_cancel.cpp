// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/request_cancel.h"

namespace {
thread_local const std::atomic<bool>* t_running = nullptr;
}  // namespace

CRequestCancel::CRequestCancel(const std::atomic<bool>& running) : outer_(t_running) {
    t_running = &running;
}

CRequestCancel::~CRequestCancel() {
    t_running = outer_;
}

bool CRequestCancel::requested() {
    return t_running != nullptr && !t_running->load();
}

bool CRequestCancel::active() {
    return t_running != nullptr;
}
