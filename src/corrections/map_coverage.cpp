// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/map_coverage.h"

#include <algorithm>
#include <climits>

#include "diag/diag_data.h"

std::size_t CMapCoverage::update(const CDiagData& store) {
    // A store cleared between two updates holds another run, however many samples it
    // has gained since: the coverage starts again. A clear during the copy is caught by
    // asking again afterwards.
    for (;;) {
        const std::uint64_t run = store.run();
        if (run != run_) {
            restart();
            run_ = run;
        }
        const std::size_t size = store.getSize();
        if (size < seen_) {
            restart();
        }
        if (seen_ == 0) {
            build_.setClock(store.clock());  // the run's, a replayed recording's too
        }
        if (size <= seen_) {
            if (store.run() != run_) {
                continue;
            }
            return 0;
        }
        batch_.clear();
        // The store counts positions in int; a run never comes near that.
        const auto first = static_cast<int>(std::min<std::size_t>(seen_, INT_MAX));
        const auto end = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
        store.getRange(batch_, first, end);
        if (store.run() != run_) {
            continue;
        }
        add(batch_.data(), batch_.size());
        return batch_.size();
    }
}

void CMapCoverage::add(const app_msg_t* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        build_.add(samples[i]);
    }
    seen_ += count;
}

void CMapCoverage::restart() {
    build_ = CInjMapBuild{};
    seen_ = 0;
}

double CMapCoverage::share(std::int64_t gasolineSamples, std::int64_t lpgSamples) {
    const auto capped = [](std::int64_t n) { return std::clamp<std::int64_t>(n, 0, kNeeded); };
    return static_cast<double>(capped(gasolineSamples) + capped(lpgSamples)) / (2.0 * kNeeded);
}

CMapCoverage::counts_t CMapCoverage::countsOf(const map_proposal_t& proposal) {
    counts_t counts;
    for (int cell = 0; cell < injmap::kCells; ++cell) {
        if (proposal.valued[cell]) {
            ++counts.valued;
        } else if (proposal.gasolineSamples[cell] >= kHalfNeeded &&
                   proposal.lpgSamples[cell] >= kHalfNeeded) {
            ++counts.halfCovered;
        }
    }
    return counts;
}
