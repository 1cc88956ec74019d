// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "support/s_thread.h"

// The only way the program starts a thread. It owns every worker handed to it,
// reclaims finished ones, and joins the ones still running when it ends.
class CThreadManager {
  public:
    CThreadManager() = default;
    CThreadManager(const CThreadManager&) = delete;
    CThreadManager& operator=(const CThreadManager&) = delete;
    ~CThreadManager();

    // The process-wide manager.
    static CThreadManager& instance();

    // Starts worker->run() on a new thread; takes ownership of worker.
    void insert(CSThread* worker);
    // Number of workers whose body has not returned yet.
    std::size_t running() const;
    // Waits for every worker to end and reclaims them.
    void joinAll();

  private:
    struct Slot {
        std::unique_ptr<CSThread> worker;
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    void reclaimFinished();

    mutable std::mutex mutex_;
    std::list<std::unique_ptr<Slot>> slots_;
};
