// SPDX-License-Identifier: GPL-3.0-or-later
// The live worker and a command thread on one line to a controller that answers late:
// every exchange takes the reply to its own request, and the commands get the line.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "connected_sim.h"
#include "diag/diag_rs_thread.h"
#include "link/controller_clock.h"
#include "link/lpg_device.h"
#include "support/thread_manager.h"
#include "temp_dir.h"

namespace {

using namespace std::chrono_literals;

TEST(SharedLineTest, EveryExchangeTakesItsOwnReplyWhileOneInTenComesLate) {
    for (const std::uint32_t seed : {5u, 11u}) {
        SCOPED_TRACE(seed);
        CTempDir dir;
        CConnectedSim::options_t options;
        options.seed = seed;
        options.pacing = true;  // the answer behind a late one is still on its way
        options.start = CConnectedSim::Start::Open;
        options.prepare = [](CControllerSim& sim) { sim.faults().setStaleProbability(0.1); };
        CConnectedSim connected(options);
        CControllerSim* sim = &connected.sim();
        CSimLine* line = &connected.line();
        CLPGDevice& device = connected.device();
        std::vector<std::pair<std::size_t, std::size_t>> foreign;  // request, reply taken
        std::size_t taken = 0;
        device.setReplyHook([&] {
            ++taken;
            if (line->lastReplyRead() != line->lastRequest()) {
                foreign.emplace_back(line->lastRequest(), line->lastReplyRead());
            }
        });

        CDiagData store;
        std::atomic<bool> running{true};
        std::atomic<int> injector{1};
        CThreadManager workers;
        workers.insert(new CDiagRSThread(device, store, dir.path("live.lpgd"), running, injector));
        int switched = 0;
        for (int i = 0; i < 20; ++i) {
            switched += (i % 2 == 0 ? device.setWorkGas() : device.setWorkLPG()) ? 1 : 0;
            std::this_thread::sleep_for(1ms);
        }
        running = false;
        workers.joinAll();

        EXPECT_EQ(switched, 20);
        EXPECT_TRUE(foreign.empty())
            << foreign.size() << " of " << taken << " exchanges took another request's reply";
        // The controller did hold replies back, and each went out ahead of the next one.
        std::size_t late = 0;
        for (const sim_request_t& request : sim->requests()) {
            if (request.sent.size() == 2) {
                ++late;
                EXPECT_EQ(request.sent[1], request.number);
            }
        }
        EXPECT_GT(late, 0u);
        EXPECT_GT(device.lateFrames(), 0u);
    }
}

}  // namespace
