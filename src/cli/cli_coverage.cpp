// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_coverage.h"

#include "corrections/inj_map_cells.h"

CCliCoverage::CCliCoverage(std::ostream& out, clock_t::duration every) : out_(out), every_(every) {}

void CCliCoverage::poll(const CDiagData& store, clock_t::time_point now) {
    if (next_ == clock_t::time_point{}) {
        next_ = now + every_;  // the first line after one period, not at once
        return;
    }
    if (now < next_) {
        return;
    }
    next_ = now + every_;
    print(store);
}

void CCliCoverage::finish(const CDiagData& store) {
    print(store);
}

std::string CCliCoverage::line(const CMapCoverage::counts_t& counts, std::size_t samples) {
    return "coverage: " + std::to_string(counts.valued) + " of " + std::to_string(injmap::kCells) +
           " cells with a value, " + std::to_string(counts.halfCovered) + " half covered (" +
           std::to_string(samples) + " samples)";
}

void CCliCoverage::print(const CDiagData& store) {
    coverage_.update(store);
    // Flushed per line: the installer watches it while driving.
    out_ << line(coverage_.counts(), coverage_.seen()) << std::endl;
}
