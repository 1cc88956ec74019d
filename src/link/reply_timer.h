// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

// How long an exchange waits for the controller's reply. The controller answers within a
// few tens of milliseconds, so on a line that loses replies the fixed time-out is mostly
// waiting for nothing: once enough replies were timed, the wait is a safe margin over
// their high percentile, never under a floor. A run of time-outs, or a reply that came
// after its wait, says the controller is slower than learned rather than the line lossy:
// the full time-out holds again until the replies' times agree with the learned wait.
class CReplyTimer {
  public:
    static constexpr int kFloorMs = 100;
    // The wait is this many times the replies' 95th percentile.
    static constexpr int kMargin = 4;
    // Replies timed before the learned wait is used.
    static constexpr std::size_t kNeeded = 16;
    // Time-outs in a row that bring the full time-out back.
    static constexpr int kTimeoutRun = 3;

    explicit CReplyTimer(int fullMs = 500) : fullMs_(fullMs) {}

    // The configured time-out: the wait before learning and in fallback.
    void setFull(int ms) { fullMs_ = ms; }
    // The header wait of the next exchange, in milliseconds.
    int waitMs() const;
    // The learned wait is in use (enough replies, no fallback).
    bool learned() const { return count_ >= kNeeded && !fallback_; }

    // A well-formed reply began this long after its request went out.
    void replied(int latencyMs);
    // Nothing came within waitMs().
    void timedOut();
    // A reply came after its request had been given up: the controller is slow.
    void lateReply() { fallback_ = true; }

  private:
    int learnedMs() const;

    int fullMs_;
    std::array<int, 64> latencies_{};
    std::size_t count_ = 0;  // replies timed, up to the ring's size
    std::size_t next_ = 0;
    int timeoutRun_ = 0;
    bool fallback_ = false;
};
