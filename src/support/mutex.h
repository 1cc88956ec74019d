// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>

// Mutex that its holder may lock again; each lock is matched by one unlock.
// Satisfies BasicLockable, so std::lock_guard<CMutex> releases it on every path.
class CMutex {
  public:
    CMutex() = default;
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;
    virtual ~CMutex() = default;

    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }
    bool try_lock() { return mutex_.try_lock(); }

  private:
    std::recursive_mutex mutex_;
};
