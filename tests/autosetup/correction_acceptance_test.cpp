// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/correction_acceptance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct AcceptanceCase {
    const char* name;
    std::vector<double> corrections;
    double tolerance;
    std::vector<double> accepted;
    double reference;
};

class CorrectionAcceptance : public ::testing::TestWithParam<AcceptanceCase> {};

TEST_P(CorrectionAcceptance, KeepsEntriesNearTheMedian) {
    const AcceptanceCase& c = GetParam();
    const correction_acceptance_t result = acceptCorrections(c.corrections, c.tolerance);
    EXPECT_DOUBLE_EQ(result.reference, c.reference);
    EXPECT_EQ(result.accepted, c.accepted);
    EXPECT_TRUE(std::is_sorted(result.sorted.begin(), result.sorted.end()));
    if (c.accepted.empty()) {
        EXPECT_FALSE(meanOfAccepted(result).has_value());
    } else {
        double sum = 0;
        for (double v : c.accepted)
            sum += v;
        EXPECT_DOUBLE_EQ(*meanOfAccepted(result), sum / c.accepted.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CorrectionAcceptance,
    ::testing::Values(
        // The first step's full difference is dropped; the four residuals stay.
        AcceptanceCase{"outlier_first",
                       {0.35, 0.025, 0.025, 0.025, 0.025},
                       10.0,
                       {0.025, 0.025, 0.025, 0.025},
                       0.025},
        AcceptanceCase{"negatives",
                       {-0.5, -0.525, -0.5, -0.475, -0.9},
                       10.0,
                       {-0.525, -0.5, -0.5, -0.475},
                       -0.5},
        // Deviation exactly at the tolerance is dropped ("stays below").
        AcceptanceCase{"at_the_limit", {1.0, 1.1, 0.9, 1.0, 1.0}, 10.0, {1.0, 1.0, 1.0}, 1.0},
        // A zero reference cannot scale a deviation: only zeros are kept.
        AcceptanceCase{
            "zero_reference", {0.0, 0.0, 0.0, 0.025, -0.025}, 10.0, {0.0, 0.0, 0.0}, 0.0},
        // A zero reference keeps its equals only while the tolerance is above zero.
        AcceptanceCase{
            "zero_reference_zero_tolerance", {0.0, 0.0, 0.0, 0.025, -0.025}, 0.0, {}, 0.0},
        // The median itself always deviates by 0 %, so only a zero tolerance refuses all.
        AcceptanceCase{"all_refused", {-0.2, -0.1, 0.05, 0.3, 0.6}, 0.0, {}, 0.05}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
