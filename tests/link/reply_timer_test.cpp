// SPDX-License-Identifier: GPL-3.0-or-later
// The reply wait learned from the controller's answers, and a controller slower than
// learned: its late acknowledgements never answer a later request.
#include <gtest/gtest.h>

#include <chrono>

#include "connected_sim.h"
#include "link/reply_timer.h"

namespace {

// What the wait is after the replies and time-outs of each case.
TEST(ReplyTimerTest, LearnsFallsBackAndKeepsToItsBounds) {
    enum Event { Reply, Timeout, Late };
    struct {
        const char* what;
        int latencyMs;  // of every reply
        int replies;
        std::vector<Event> then;
        int expectedMs;
    } cases[] = {
        {"too few replies: the full time-out", 10, 15, {}, 500},
        {"fast replies: the floor", 10, 16, {}, CReplyTimer::kFloorMs},
        {"slower replies: four times their high percentile", 40, 64, {}, 160},
        {"never over the full time-out", 300, 64, {}, 500},
        {"two time-outs are a lossy line", 10, 16, {Timeout, Timeout}, 100},
        {"three in a row a slow controller", 10, 16, {Timeout, Timeout, Timeout}, 500},
        {"a reply between breaks the run", 10, 16, {Timeout, Timeout, Reply, Timeout}, 100},
        {"a late reply brings the full time-out back", 10, 16, {Late}, 500},
        {"until a reply fits the learned wait", 10, 16, {Late, Reply}, 100},
    };
    for (const auto& c : cases) {
        CReplyTimer timer(500);
        for (int i = 0; i < c.replies; ++i) {
            timer.replied(c.latencyMs);
        }
        for (const Event event : c.then) {
            event == Reply     ? timer.replied(c.latencyMs)
            : event == Timeout ? timer.timedOut()
                               : timer.lateReply();
        }
        EXPECT_EQ(timer.waitMs(), c.expectedMs) << c.what;
    }
}

// A controller that turns slower than the learned wait, on a line that loses some
// requests: a late acknowledgement of one block must not be taken for the next block's.
TEST(ReplyTimerTest, ALateAcknowledgementNeverAnswersTheNextBlock) {
    CConnectedSim link;
    CLPGDevice& device = link.device();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(device.readSetup());
    }
    ASSERT_EQ(device.replyWaitMs(), CReplyTimer::kFloorMs);
    const auto late = std::chrono::milliseconds(CReplyTimer::kFloorMs + 30);
    link.sim().faults().setReplyDelay(late);
    link.sim().faults().setDropProbability(0.2);
    int otherRequests = 0;  // replies taken for a request they do not answer
    device.setReplyHook(
        [&] { otherRequests += link.line().lastReplyRead() != link.line().lastRequest(); });
    for (std::size_t i = 0; i < device.map().size(); ++i) {
        device.map()[i] = static_cast<std::uint8_t>(i * 7);
    }
    const auto sent = device.map();
    const bool written = device.writeMap();
    link.sim().faults().setDropProbability(0);
    const auto eeprom = link.sim().eeprom();
    if (written) {
        EXPECT_TRUE(std::equal(sent.begin(), sent.end(), eeprom.begin() + 104));
    }
    ASSERT_TRUE(device.readMap());
    EXPECT_EQ(device.map(), sent);
    EXPECT_EQ(otherRequests, 0);
    EXPECT_GT(device.replyWaitMs(), late.count());  // learned anew, over the slow replies
}

}  // namespace
