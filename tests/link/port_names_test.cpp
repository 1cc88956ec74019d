// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_names.h"

#include <gtest/gtest.h>

namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// What a user types in the port dialog: a number, or a device as this system names one.
TEST(PortNamesTest, TypedDevicesAreTheSystemsOwnNames) {
    EXPECT_EQ(CPortNames::example(), kWindows ? "COM1" : "/dev/ttyUSB0");
    const struct {
        const char* text;
        bool onLinux;
        bool onWindows;
    } cases[] = {
        {"/dev/ttyUSB0", true, false}, {"COM7", false, true}, {"com12", false, true},
        {"\\\\.\\COM12", false, true}, {"3", false, false},   {"COM", false, false},
        {"COMx", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CPortNames::isDeviceName(c.text), kWindows ? c.onWindows : c.onLinux) << c.text;
    }
}

}  // namespace
