// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "link/controller_clock.h"
#include "link/dev_setup.h"
#include "link/setup_fields.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

// Each checked field with the range the controller's fields are refused outside of,
// written out here apart from the table, so a slip in the table shows.
struct range_case_t {
    const char* name;
    double lowest;
    double highest;  // the last value accepted
    double beyond;   // the first value refused above
    const char* refusal;
};

constexpr range_case_t kRanges[] = {
    {"switchRpm", 100, 8000, 8000.5, "prędkości przełączenia na LPG"},
    {"switchTemperature", 0, 100, 100.5, "temperatury przełączenia na LPG"},
    {"ignitionPulses", 1, 255, 256, "ilości impulsów zapłonu na obrót"},
    {"minSupplyVoltage", 9, 15, 15.05, "minimalnego napięcia zasilania"},
    {"maxInternalTemperature", 0, 85, 85.5, "maksymalnej temperatury wewnętrznej"},
    {"emulatorDelay", 0, 6, 6.5, "opóźnienia włączenia emulatora"},
    {"mainCorrection", 0, 6, 6.025, "głównej poprawki"},
    {"lpgInjectionDelay", 0, 6, 6.025, "opóźnienia wtrysku LPG"},
    {"pressureSlope", 0, 10, 10.1, "nachylenia krzywej ciśnienia"},
    {"referencePressure", 30, 180, 181, "ciśnienia referencyjnego"},
    {"rpmThresholdVoltage", 0.2, 4.9, 5, "napięcia progowego dla sygnału obrotów"},
    {"gasolinePressure", 0, 180, 180.5, "ciśnienia przełączenia na benzynę"},
    {"timeAveraging", 1, 255, 256, "uśredniania czasów wtrysku"},
    {"pressureAveraging", 1, 255, 256, "uśredniania ciśnienia"},
};

bool refused(const std::string& check, const char* refusal) {
    return check.find(std::string("Błędna wartość ") + refusal + "\n") != std::string::npos;
}

class SetupFieldsTest : public ::testing::Test {
  protected:
};

TEST_F(SetupFieldsTest, EachFieldIsRefusedJustOutsideItsRange) {
    for (const auto& c : kRanges) {
        SCOPED_TRACE(c.name);
        const setup_field_t* field = findSetupField(c.name);
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->inRange(c.lowest));
        EXPECT_TRUE(field->inRange(c.highest));
        EXPECT_FALSE(field->inRange(c.beyond));
        EXPECT_FALSE(field->inRange(std::nan("")));
        if (!field->integral()) {
            EXPECT_FALSE(field->inRange(c.lowest - 0.001));
        }
        // The record's own check refuses the same values with the field's message.
        for (const double value : {c.lowest, c.highest}) {
            dev_setup_t setup;
            field->set(setup, value);
            EXPECT_FALSE(refused(setup.check(kClock), c.refusal)) << value;
        }
        dev_setup_t below;
        field->set(below, c.lowest - 1);
        EXPECT_TRUE(refused(below.check(kClock), c.refusal) ||
                    (field->integral() && c.lowest == 0));
    }
}

}  // namespace
