// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

#include "corrections/map_coverage.h"

class CDiagData;

// `record --coverage`: while the drive is recorded, tells the installer once a second how
// many map cells already have a value and how many are half covered, from the samples
// the run has gathered. It runs on the waiting thread and only copies the new samples,
// so acquisition never waits for it.
class CCliCoverage {
  public:
    using clock_t = std::chrono::steady_clock;

    explicit CCliCoverage(std::ostream& out, clock_t::duration every = std::chrono::seconds(1));

    // Called often while recording; prints once `every` has passed since the last line.
    void poll(const CDiagData& store, clock_t::time_point now);
    // The closing line, once acquisition has ended.
    void finish(const CDiagData& store);

    static std::string line(const CMapCoverage::counts_t& counts, std::size_t samples);
    const CMapCoverage& coverage() const { return coverage_; }

  private:
    void print(const CDiagData& store);

    std::ostream& out_;
    clock_t::duration every_;
    clock_t::time_point next_{};
    CMapCoverage coverage_;
};
