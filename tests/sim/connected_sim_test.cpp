// SPDX-License-Identifier: GPL-3.0-or-later
// The shared connected-controller fixture: each fault preset behaves as its name says.
#include "connected_sim.h"

#include <gtest/gtest.h>

#include "link/protocol.h"

namespace {

using Preset = CConnectedSim::Preset;
using namespace proto;

constexpr int kExchanges = 40;

// Single exchanges of the test command, no retries: how many took the answer to their own
// request (a late controller's answer to the one before does not count).
int answered(CConnectedSim& connected) {
    int count = 0;
    for (int i = 0; i < kExchanges; ++i) {
        std::uint8_t buf[kBufferSize] = {CMD_TEST};
        std::uint8_t length = kCommandSize, type = MSG_TYPE_COMMAND;
        const bool ok = connected.device().exchange(buf, length, type);
        count += ok && connected.line().lastReplyRead() == connected.line().lastRequest() ? 1 : 0;
    }
    return count;
}

struct preset_case_t {
    Preset preset;
    bool connects;
    int fewestAnswered, mostAnswered;  // of kExchanges
    bool writes;                       // a fuel-sensor write is acknowledged and stored
};

class ConnectedSimPresetTest : public ::testing::TestWithParam<preset_case_t> {};

TEST_P(ConnectedSimPresetTest, BehavesAsNamed) {
    const preset_case_t& c = GetParam();
    CConnectedSim::options_t options;
    options.preset = c.preset;
    options.start = CConnectedSim::Start::Open;
    CConnectedSim connected(options);

    const int count = answered(connected);
    EXPECT_GE(count, c.fewestAnswered);
    EXPECT_LE(count, c.mostAnswered);
    // The controller heard every request, answered or not.
    EXPECT_EQ(connected.sim().requestCount(), std::size_t{kExchanges});

    EXPECT_EQ(connected.connect(), c.connects);
    if (!c.connects) {
        return;
    }
    const CControllerSim::fuel_thresholds_t before = connected.sim().fuelThresholds();
    const CLPGDevice::FuelThresholds wanted{50, 120, 160, 210};
    EXPECT_EQ(connected.device().writeFuelSensor(wanted), c.writes);
    if (c.writes) {
        EXPECT_EQ(connected.sim().fuelThresholds(), wanted);
    } else {
        EXPECT_EQ(connected.sim().fuelThresholds(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presets, ConnectedSimPresetTest,
    ::testing::Values(preset_case_t{Preset::Clean, true, kExchanges, kExchanges, true},
                      // Some replies lost, but far from all.
                      preset_case_t{Preset::Lossy, true, 1, kExchanges - 1, true},
                      // Every reply comes after its own exchange has given up on it.
                      preset_case_t{Preset::Late, true, 0, 0, true},
                      preset_case_t{Preset::Silent, false, 0, 0, false},
                      preset_case_t{Preset::Refusing, true, kExchanges, kExchanges, false}),
    [](const auto& info) { return std::string(CConnectedSim::name(info.param.preset)); });

}  // namespace
