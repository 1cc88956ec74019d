// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated engine at idle answers the auto-calibration as a real one: on LPG the
// car computer lengthens its gasoline pulses by what the main correction lacks.
#include <gtest/gtest.h>

#include <cmath>

#include "connected_sim.h"
#include "diag/app_msg.h"
#include "link/controller_clock.h"
#include "link/lpg_device.h"

namespace {

struct mean_t {
    double timeAux = 0, gasTime = 0;
    int lpgStates = 0;
};

// Mean gasoline times (ms) over `count` payloads after `settle` were thrown away.
mean_t measure(CLPGDevice& device, int settle, int count) {
    mean_t mean;
    CLPGDevice::DiagPayload p{};
    for (int i = 0; i < settle + count; ++i) {
        EXPECT_TRUE(device.requestDiag(1, p));
        if (i < settle)
            continue;
        app_msg_t sample;
        sample.setPayload(p.data());
        mean.timeAux += sample.time_aux * device.clock().timeUnit() / count;
        mean.gasTime += sample.gas_time * device.clock().timeUnit() / count;
        mean.lpgStates += sample.onLpg();
    }
    return mean;
}

TEST(EngineAtIdle, LpgLengthensTheGasolineTimeByWhatTheMainCorrectionLacks) {
    const struct { double needed, main; } cases[] = {{1.35, 1.0}, {0.7, 1.0}, {1.0, 1.0}};
    for (const auto& c : cases) {
        CConnectedSim::options_t options;
        options.prepare = [&c](CControllerSim& sim) {
            sim.setNeededCorrection(c.needed);
            sim.setGasTimeNoise(0.02);
            setup_line_t setup = CControllerSim::defaultSetup();
            setup[7] = static_cast<std::uint8_t>(std::lround(c.main / 0.025));
            sim.setSetup(setup);
        };
        CConnectedSim connected(options);
        CLPGDevice& device = connected.device();
        ASSERT_TRUE(device.isConnected());

        ASSERT_TRUE(device.setWorkGas());
        const mean_t gasoline = measure(device, 60, 200);
        ASSERT_TRUE(device.setWorkLPG());
        const mean_t lpg = measure(device, 60, 200);
        EXPECT_EQ(gasoline.lpgStates, 0);
        EXPECT_EQ(lpg.lpgStates, 200);
        EXPECT_NEAR(lpg.timeAux - gasoline.timeAux, c.needed - c.main, 0.01) << c.needed;
        EXPECT_NEAR(lpg.gasTime - gasoline.gasTime, c.needed - c.main, 0.01) << c.needed;
    }
}

}  // namespace
