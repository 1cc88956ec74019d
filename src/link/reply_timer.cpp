// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/reply_timer.h"

#include <algorithm>

int CReplyTimer::learnedMs() const {
    std::array<int, 64> sorted = latencies_;
    const auto end = sorted.begin() + static_cast<std::ptrdiff_t>(count_);
    std::sort(sorted.begin(), end);
    const int high = sorted[(count_ - 1) * 95 / 100];
    return std::clamp(kMargin * high, std::min(kFloorMs, fullMs_), fullMs_);
}

int CReplyTimer::waitMs() const {
    return learned() ? learnedMs() : fullMs_;
}

void CReplyTimer::replied(int latencyMs) {
    latencies_[next_] = std::max(0, latencyMs);
    next_ = (next_ + 1) % latencies_.size();
    count_ = std::min(count_ + 1, latencies_.size());
    timeoutRun_ = 0;
    // Back to the learned wait once the replies' times put this one inside it.
    if (fallback_ && count_ >= kNeeded && latencyMs <= learnedMs()) {
        fallback_ = false;
    }
}

void CReplyTimer::timedOut() {
    if (learned() && ++timeoutRun_ >= kTimeoutRun) {
        fallback_ = true;
        timeoutRun_ = 0;
    }
}
