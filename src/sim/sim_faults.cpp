// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_faults.h"

#include <algorithm>

CSimFaults::CSimFaults(std::uint32_t seed) : random_(seed) {}

bool CSimFaults::chance(double p) {
    if (p <= 0) {
        return false;  // draws nothing, so unused knobs never shift the sequence
    }
    return std::bernoulli_distribution(std::min(p, 1.0))(random_);
}

bool CSimFaults::admit() {
    std::lock_guard lock(mutex_);
    if (vanished_) {
        return false;
    }
    const unsigned limit = vanishAfter_;
    if (limit > 0 && admitted_ >= limit) {
        vanished_ = true;
        return false;
    }
    ++admitted_;
    return true;
}

void CSimFaults::reappear() {
    std::lock_guard lock(mutex_);
    admitted_ = 0;
    vanished_ = false;
    held_.reset();  // a reply held back by the device that went away is gone too
}

bool CSimFaults::takeForced(std::atomic<unsigned>& count) {
    unsigned left = count.load();
    while (left > 0 && !count.compare_exchange_weak(left, left - 1)) {
    }
    return left > 0;
}

std::vector<sim_reply_t> CSimFaults::apply(sim_reply_t reply) {
    std::lock_guard lock(mutex_);
    std::vector<sim_reply_t> out;
    const bool holding = held_.has_value();
    if (holding) {
        out.push_back(std::move(*held_));
        held_.reset();
    }
    reply.bytes = damage(std::move(reply.bytes));
    if (reply.bytes.empty()) {
        return out;
    }
    if (!holding && (takeForced(staleNext_) || chance(stale_))) {
        held_ = std::move(reply);
    } else {
        out.push_back(std::move(reply));
    }
    return out;
}

std::vector<std::uint8_t> CSimFaults::damage(std::vector<std::uint8_t> reply) {
    if (reply.empty() || takeForced(dropNext_) || chance(drop_)) {
        return {};
    }
    if (chance(corrupt_)) {
        reply.back() = static_cast<std::uint8_t>(reply.back() + 1);  // check word off by one
    }
    if (chance(stray_)) {
        // Line noise never holds 0xAA, so it cannot pass for a frame start.
        const int count = std::uniform_int_distribution<int>(1, 4)(random_);
        std::uniform_int_distribution<int> noise(0, 0xA9);
        std::vector<std::uint8_t> prefix(count);
        for (auto& b : prefix) {
            b = static_cast<std::uint8_t>(noise(random_));
        }
        reply.insert(reply.begin(), prefix.begin(), prefix.end());
    }
    return reply;
}
