// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "support/local_time.h"

namespace {

// The zone is named in the process, so the answer does not depend on the machine's.
class LocalTimeTest : public ::testing::Test {
  protected:
    LocalTimeTest() {
        if (const char* zone = std::getenv("TZ")) {
            saved_ = zone;
        }
    }
    ~LocalTimeTest() override {
        if (saved_) {
            ::setenv("TZ", saved_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

    std::optional<std::string> saved_;
};

TEST_F(LocalTimeTest, GivesTheCalendarTimeOfTheZoneInForce) {
    const struct {
        const char* zone;
        std::time_t when;
        int year, month, day, hour, minute, second, weekDay, yearDay, summer;
    } rows[] = {
        {"UTC0", 0, 1970, 1, 1, 0, 0, 0, 4, 0, 0},
        {"XYZ-2", 1700000000, 2023, 11, 15, 0, 13, 20, 3, 318, 0},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1709999999, 2024, 3, 9, 16, 59, 59, 6, 68, 0},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1720000000, 2024, 7, 3, 11, 46, 40, 3, 184, 1},
    };
    for (const auto& row : rows) {
        ::setenv("TZ", row.zone, 1);
        ::tzset();
        const std::tm local = localTime(row.when);
        EXPECT_EQ(local.tm_year + 1900, row.year) << row.zone;
        EXPECT_EQ(local.tm_mon + 1, row.month) << row.zone;
        EXPECT_EQ(local.tm_mday, row.day) << row.zone;
        EXPECT_EQ(local.tm_hour, row.hour) << row.zone;
        EXPECT_EQ(local.tm_min, row.minute) << row.zone;
        EXPECT_EQ(local.tm_sec, row.second) << row.zone;
        EXPECT_EQ(local.tm_wday, row.weekDay) << row.zone;
        EXPECT_EQ(local.tm_yday, row.yearDay) << row.zone;
        EXPECT_EQ(local.tm_isdst, row.summer) << row.zone;
    }
}

}  // namespace
