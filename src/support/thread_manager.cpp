// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/thread_manager.h"

#include <vector>

CThreadManager::~CThreadManager() {
    joinAll();
}

CThreadManager& CThreadManager::instance() {
    static CThreadManager manager;
    return manager;
}

void CThreadManager::insert(CSThread* worker) {
    std::lock_guard lock(mutex_);
    reclaimFinished();
    auto slot = std::make_unique<Slot>();
    slot->worker.reset(worker);
    Slot* raw = slot.get();
    slot->thread = std::thread([raw] {
        try {
            raw->worker->run();
        } catch (...) {
            // A body catches its own errors; anything else must not end the process.
        }
        raw->finished = true;
    });
    slots_.push_back(std::move(slot));
}

std::size_t CThreadManager::running() const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const auto& slot : slots_) {
        if (!slot->finished) {
            ++count;
        }
    }
    return count;
}

void CThreadManager::reclaimFinished() {
    for (auto it = slots_.begin(); it != slots_.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = slots_.erase(it);
        } else {
            ++it;
        }
    }
}

void CThreadManager::joinAll() {
    std::list<std::unique_ptr<Slot>> taken;
    {
        std::lock_guard lock(mutex_);
        taken.swap(slots_);
    }
    for (auto& slot : taken) {
        if (slot->thread.joinable()) {
            slot->thread.join();
        }
    }
}
