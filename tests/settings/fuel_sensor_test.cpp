// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "settings/fuel_sensor.h"

namespace {

using Lamp = CFuelSensor::Lamp;
using Type = CFuelSensor::Type;
using T = CFuelSensor::Thresholds;

constexpr T kAeb{42, 130, 170, 225};      // falling: low readings for a full tank
constexpr T kReserve{225, 170, 130, 42};  // rising

TEST(FuelSensorTest, TypesAreListedInOrderAndMatchedValueByValue) {
    ASSERT_EQ(CFuelSensor::types(),
              (std::vector<Type>{Type::Aeb1050, Type::ReserveOnly, Type::Other}));
    EXPECT_EQ(CFuelSensor::typeValues(Type::Other), std::nullopt);

    const struct {
        T thresholds;
        Type type;
    } cases[] = {
        {kAeb, Type::Aeb1050},
        {kReserve, Type::ReserveOnly},
        {{42, 130, 170, 224}, Type::Other},
        {{225, 130, 170, 42}, Type::Other},
        {CFuelSensor::kInitial, Type::Other},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CFuelSensor::matchingType(c.thresholds), c.type) << int(c.thresholds[3]);
    }
}

TEST(FuelSensorTest, OrderMustBeStrictlyRisingOrFalling) {
    const struct {
        T thresholds;  // 3/4, 1/2, 1/4, reserve
        bool valid;
    } cases[] = {
        {kAeb, true},
        {kReserve, true},
        {CFuelSensor::kInitial, true},
        {{30, 20, 10, 10}, false},  // reserve equal to 1/4
        {{30, 20, 20, 10}, false},
        {{30, 30, 20, 10}, false},
        {{30, 10, 20, 5}, false},
        {{0, 0, 0, 0}, false},
        {{255, 254, 1, 0}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CFuelSensor::orderValid(c.thresholds), c.valid)
            << int(c.thresholds[0]) << ' ' << int(c.thresholds[1]) << ' ' << int(c.thresholds[2])
            << ' ' << int(c.thresholds[3]);
    }
}

TEST(FuelSensorTest, LampsFollowTheReadingAndTheReserveBlinks) {
    constexpr Lamp G = Lamp::Green, Y = Lamp::Yellow, R = Lamp::Red, _ = Lamp::Grey;
    const struct {
        T thresholds;
        int reading;
        CFuelSensor::Lamps lamps;  // with the blink on
        bool reserve;
    } cases[] = {
        {kAeb, 10, {G, G, Y, R}, false},
        {kAeb, 42, {_, G, Y, R}, false},
        {kAeb, 129, {_, G, Y, R}, false},
        {kAeb, 130, {_, _, Y, R}, false},
        {kAeb, 170, {_, _, _, R}, false},
        {kAeb, 224, {_, _, _, R}, false},
        {kAeb, 225, {_, _, _, R}, true},
        {kAeb, 230, {_, _, _, R}, true},
        {kReserve, 226, {G, G, Y, R}, false},
        {kReserve, 225, {_, G, Y, R}, false},
        {kReserve, 131, {_, _, Y, R}, false},
        {kReserve, 100, {_, _, _, R}, false},  // 130 > 100 > 42
        {kReserve, 42, {_, _, _, R}, true},
    };
    for (const auto& c : cases) {
        const bool falling = CFuelSensor::falling(c.thresholds);
        EXPECT_EQ(CFuelSensor::lamps(c.thresholds, c.reading, true), c.lamps)
            << "reading " << c.reading << (falling ? " falling" : " rising");
        EXPECT_EQ(CFuelSensor::inReserve(c.thresholds, c.reading), c.reserve) << c.reading;
        // With the blink off only lamp 4 of the reserve changes: it goes dark.
        CFuelSensor::Lamps off = c.lamps;
        if (c.reserve)
            off[3] = _;
        EXPECT_EQ(CFuelSensor::lamps(c.thresholds, c.reading, false), off) << c.reading;
    }
}

}  // namespace
