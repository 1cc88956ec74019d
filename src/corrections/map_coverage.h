// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "corrections/inj_map_build.h"
#include "corrections/map_proposal.h"
#include "diag/app_msg.h"

class CDiagData;

// The map build kept up to date while diagnostics run: every update takes only the
// samples the store gained since the last one, so its cost follows the new samples and
// not the length of the drive, and the proposal at any moment is the one a build of the
// whole recording so far would give. It tells the installer which cells still need
// driving.
class CMapCoverage {
  public:
    // A value needs more than CInjMapBuild::kTooFewSamples samples in each group.
    static constexpr std::int64_t kNeeded = CInjMapBuild::kTooFewSamples + 1;
    static constexpr std::int64_t kHalfNeeded = (kNeeded + 1) / 2;

    // Map cells (of injmap::kCells) by how far the drive has covered them.
    struct counts_t {
        int valued = 0;  // the proposal has a value
        // No value yet, but each group has at least half the samples a value needs.
        int halfCovered = 0;
        bool operator==(const counts_t&) const = default;
    };

    // Takes the samples the store gained since the last update; returns how many. A
    // store cleared since (a new run or a replay) makes the coverage start again.
    std::size_t update(const CDiagData& store);
    void add(const app_msg_t* samples, std::size_t count);
    void restart();

    // Samples taken so far.
    std::size_t seen() const { return seen_; }
    map_proposal_t proposal() const { return build_.proposal(); }
    counts_t counts() const { return countsOf(proposal()); }
    const CInjMapBuild& build() const { return build_; }

    // How far a cell is covered, 0 … 1: both groups count up to the samples a value needs.
    static double share(std::int64_t gasolineSamples, std::int64_t lpgSamples);
    static counts_t countsOf(const map_proposal_t& proposal);

  private:
    CInjMapBuild build_;
    std::size_t seen_ = 0;
    std::uint64_t run_ = 0;         // of the store the samples came from
    std::vector<app_msg_t> batch_;  // reused between updates
};
