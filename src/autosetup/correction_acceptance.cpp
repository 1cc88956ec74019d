// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/correction_acceptance.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

double median(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    if (n == 0)
        return 0.0;
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}

// Corrections are whole time steps, but their deviation in percent is not exact in
// binary: 0.9 against 1.0 gives 9.999999999999998 % and 1.1 gives 10.000000000000009 %.
// Both lie at the limit, so a deviation that close to it counts as reaching it.
constexpr double kLimitSlack = 1e-9;

double deviationPercent(double entry, double reference) {
    if (reference == 0.0) {
        return entry == 0.0 ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return std::fabs(entry - reference) / std::fabs(reference) * 100.0;
}

bool withinTolerance(double entry, double reference, double tolerancePercent) {
    return deviationPercent(entry, reference) < tolerancePercent - kLimitSlack;
}

}  // namespace

correction_acceptance_t acceptCorrections(std::vector<double> corrections,
                                          double tolerancePercent) {
    correction_acceptance_t result;
    std::sort(corrections.begin(), corrections.end());
    result.sorted = std::move(corrections);
    result.reference = median(result.sorted);
    for (double entry : result.sorted) {
        if (withinTolerance(entry, result.reference, tolerancePercent)) {
            result.accepted.push_back(entry);
        }
    }
    return result;
}

std::optional<double> meanOfAccepted(const correction_acceptance_t& acceptance) {
    if (acceptance.accepted.empty())
        return std::nullopt;
    const double sum = std::accumulate(acceptance.accepted.begin(), acceptance.accepted.end(), 0.0);
    return sum / static_cast<double>(acceptance.accepted.size());
}
