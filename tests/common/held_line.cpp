// SPDX-License-Identifier: GPL-3.0-or-later
#include "held_line.h"

void CHeldLine::hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
}

void CHeldLine::release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    released_.notify_all();
}

int CHeldLine::waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_;
}

int CHeldLine::read(std::uint8_t* buffer, int n) {
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        released_.wait(lock, [this] { return !held_; });
        --waiting_;
    }
    return inner_->read(buffer, n);
}
