// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/trace_replay.h"

#include <gtest/gtest.h>

#include "frames.h"
#include "link/protocol.h"
#include "link/traced_line.h"
#include "sim/sim_line.h"
#include "temp_dir.h"

namespace {

bytes_t exchange(ISerialLine& line, const bytes_t& request, int replySize) {
    line.write(request.data(), static_cast<int>(request.size()));
    bytes_t reply(static_cast<std::size_t>(replySize));
    reply.resize(static_cast<std::size_t>(line.read(reply.data(), replySize)));
    return reply;
}

// A session traced against one controller is answered the same by a controller that
// replays the trace, even when the requests come again or out of order.
TEST(TraceReplayTest, AReplayedTraceAnswersAsTheTracedController) {
    CTempDir dir;
    std::string problem;
    const struct {
        bytes_t request;
        int replySize;
    } session[] = {
        {commandFrame(proto::CMD_TEST), 12},
        {commandFrame(proto::CMD_VERSION), 27},
        {commandFrame(proto::CMD_CLOCK), 26},
    };
    std::vector<bytes_t> traced;
    {
        auto sim = std::make_shared<CControllerSim>();
        sim->setId("ID00000000000042");
        CTracedLine line(std::make_unique<CSimLine>(sim),
                         CWireTrace::open(dir.path("trace.txt"), problem));
        line.open(1);
        for (const auto& step : session) {
            traced.push_back(exchange(line, step.request, step.replySize));
        }
    }
    CTraceReplay replay;
    ASSERT_TRUE(replay.load(dir.path("trace.txt"), problem)) << problem;
    EXPECT_EQ(replay.exchanges(), 3u);
    auto sim = std::make_shared<CControllerSim>();
    sim->setResponder([&replay](const std::uint8_t* frame, std::size_t size) {
        return replay.answer(frame, size);
    });
    CSimLine line(sim);
    line.open(1);
    for (std::size_t order : {0, 1, 2, 1, 0}) {
        EXPECT_EQ(hexText(exchange(line, session[order].request, session[order].replySize)),
                  hexText(traced[order]));
    }
    EXPECT_EQ(exchange(line, commandFrame(proto::CMD_ERROR), 17), bytes_t{});

    EXPECT_FALSE(replay.parse("# vapron wire trace\n0.1 open 1\n"));
    EXPECT_FALSE(replay.load(dir.path("brak.txt"), problem));
}

}  // namespace
