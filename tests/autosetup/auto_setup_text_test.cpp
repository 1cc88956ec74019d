// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "autosetup/auto_setup_text.h"
#include "link/conversions.h"

namespace {

TEST(AutoSetupText, RoundsToTheTimeStepHalvesAwayFromZero) {
    const struct {
        double ms, rounded;
    } cases[] = {{1.2874, 1.275}, {0.0125, 0.025}, {-0.0125, -0.025}, {-0.05, -0.05}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(conv::roundToTimeStep(c.ms), c.rounded) << c.ms;
    }
}

TEST(AutoSetupText, NumbersAsTheLogWritesThem) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.025, "0.025"}, {3.425, "3.425"}, {1.35, "1.35"},       {-0.3, "-0.3"},
                 {4.0, "4"},       {0.0, "0"},       {2.0 / 3, "0.666667"}};
    for (const auto& c : cases) {
        EXPECT_EQ(autosetup_text::number(c.value), c.text);
    }
    EXPECT_EQ(autosetup_text::separator(), std::string(82, '-'));
}

TEST(AutoSetupText, StartTimePattern) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 6;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    EXPECT_EQ(autosetup_text::startTime(local), "Czas rozpoczęcia: 06-12:2026 09:05:07");
}

}  // namespace
