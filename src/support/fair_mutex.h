// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// A mutex its holder may lock again (each lock matched by one unlock) that hands itself
// to waiting threads in the order they asked: a thread that unlocks and at once locks
// again queues behind whoever was already waiting, so a busy loop cannot keep the others
// out. BasicLockable, so std::lock_guard releases it on every path.
class CFairMutex {
  public:
    CFairMutex() = default;
    CFairMutex(const CFairMutex&) = delete;
    CFairMutex& operator=(const CFairMutex&) = delete;

    void lock();
    void unlock();
    // Succeeds only when nobody holds it and nobody waits for it (or the caller holds it).
    bool try_lock();

  private:
    std::mutex guard_;
    std::condition_variable turn_;
    std::thread::id owner_;
    unsigned depth_ = 0;
    std::uint64_t nextTicket_ = 0;
    std::uint64_t serving_ = 0;
};
