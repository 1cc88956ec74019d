// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "support/mutex.h"
#include "support/thread_manager.h"

namespace {

using namespace std::chrono_literals;

class FlagWorker : public CSThread {
  public:
    FlagWorker(std::atomic<bool>& run, std::atomic<int>& started, std::atomic<int>& destroyed)
        : run_(run), started_(started), destroyed_(destroyed) {}
    ~FlagWorker() override { ++destroyed_; }
    void run() override {
        ++started_;
        while (run_) {
            std::this_thread::sleep_for(1ms);
        }
    }

  private:
    std::atomic<bool>& run_;
    std::atomic<int>& started_;
    std::atomic<int>& destroyed_;
};

class ThrowingWorker : public CSThread {
  public:
    void run() override { throw 7; }
};

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 2000 && !condition(); ++i) {
        std::this_thread::sleep_for(1ms);
    }
    return condition();
}

TEST(ThreadManagerTest, StartsPromptlyAndJoinsWhatRunsAtTheEnd) {
    std::atomic<bool> run{true};
    std::atomic<int> started{0}, destroyed{0};
    {
        CThreadManager manager;
        manager.insert(new FlagWorker(run, started, destroyed));
        manager.insert(new FlagWorker(run, started, destroyed));
        ASSERT_TRUE(waitFor([&] { return started == 2; }));
        EXPECT_EQ(manager.running(), 2u);
        run = false;
        // The destructor joins the workers instead of ending the process.
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(ThreadManagerTest, ReclaimsFinishedWorkersAndSurvivesAThrowingBody) {
    std::atomic<bool> run{false};
    std::atomic<int> started{0}, destroyed{0};
    CThreadManager manager;
    manager.insert(new FlagWorker(run, started, destroyed));
    manager.insert(new ThrowingWorker);
    ASSERT_TRUE(waitFor([&] { return manager.running() == 0; }));
    // The next insert reclaims the finished ones.
    manager.insert(new FlagWorker(run, started, destroyed));
    EXPECT_GE(destroyed, 1);
    manager.joinAll();
    EXPECT_EQ(destroyed, 2);
}

TEST(MutexTest, HolderLocksAgainWhileAnotherThreadIsExcluded) {
    CMutex mutex;
    mutex.lock();
    mutex.lock();  // re-entrant for its holder
    std::atomic<bool> entered{false};
    auto other = std::async(std::launch::async, [&] {
        std::lock_guard<CMutex> hold(mutex);
        entered = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(entered);
    mutex.unlock();
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(entered);  // still held once
    mutex.unlock();
    other.get();
    EXPECT_TRUE(entered);
}

}  // namespace
