// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "diag/app_msg.h"
#include "support/mutex.h"

// The samples of one diagnostic run, shared by the acquisition worker (the one writer)
// and every reader. Each operation holds the store's own mutex for its whole duration
// and no other lock is taken inside it. Readers copy samples out and never keep
// references into the store.
//
// A sample is kept packed at the widths of the recorded fields (27 bytes), in chunks of
// a fixed number of samples so that a long run grows without copying what it holds.
// What a recording line does not hold is not kept: a sample read back has its colour
// from its injector and no second injection event.
class CDiagData {
  public:
    CDiagData() = default;
    CDiagData(const CDiagData&) = delete;
    CDiagData& operator=(const CDiagData&) = delete;
    virtual ~CDiagData() = default;

    void push(const app_msg_t& sample);
    // Several at once under one lock (a replay loads in batches).
    void push(const app_msg_t* samples, std::size_t count);
    // Copies the newest sample into *sample; leaves it untouched (and returns false)
    // when the store is empty.
    bool getLast(app_msg_t* sample) const;
    // Appends copies of positions first .. min(end, size) - 1 to `out` (positions count
    // from 0 in order of arrival). Nothing when first > size; a negative first counts
    // as 0.
    void getRange(std::vector<app_msg_t>& out, int first, int end) const;
    std::size_t getSize() const;
    // Empties the store for a new run, which gets the next run number.
    void clear();
    // Changes whenever the store is cleared, so that a reader that copies samples out
    // bit by bit knows when the samples it holds belong to an earlier run.
    std::uint64_t run() const;
    // Bytes the samples occupy, growth room included.
    std::size_t memoryBytes() const;

    // The clock of the run the samples are from: the connected controller's for a live
    // run, the recording's for a replay. Not known (a recording without one) converts at
    // the usual clock, and whoever shows the values says so.
    // A new run with its clock: cleared and the clock set at once, so that no reader sees
    // the new run's samples with the old run's clock.
    void startRun(const CControllerClock& clock, bool known);
    CControllerClock clock() const;
    bool clockKnown() const;

  private:
    static constexpr std::size_t kChunkSamples = 8192;

    void append(const app_msg_t& sample);
    app_msg_t at(std::size_t position) const;

    mutable CMutex mutex_;
    std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
    std::size_t size_ = 0;
    std::uint64_t run_ = 0;
    CControllerClock clock_;
    bool clockKnown_ = false;
};
