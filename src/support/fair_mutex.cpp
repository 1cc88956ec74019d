// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fair_mutex.h"

void CFairMutex::lock() {
    std::unique_lock hold(guard_);
    const auto self = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        return;
    }
    const std::uint64_t ticket = nextTicket_++;
    turn_.wait(hold, [&] { return serving_ == ticket && depth_ == 0; });
    owner_ = self;
    depth_ = 1;
}

void CFairMutex::unlock() {
    {
        std::lock_guard hold(guard_);
        if (--depth_ > 0) {
            return;
        }
        owner_ = {};
        ++serving_;
    }
    turn_.notify_all();
}

bool CFairMutex::try_lock() {
    std::lock_guard hold(guard_);
    const auto self = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        return true;
    }
    if (depth_ > 0 || serving_ != nextTicket_) {
        return false;
    }
    ++nextTicket_;
    owner_ = self;
    depth_ = 1;
    return true;
}
