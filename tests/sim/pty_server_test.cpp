// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_server.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "frames.h"
#include "link/serial_port.h"
#include "support/error_guard.h"

using namespace proto;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class PtyServerTest : public ::testing::Test {
  protected:
    PtyServerTest() : sim(std::make_shared<CControllerSim>(1)), server(sim) {}

    void connect() {
        server.start();
        CPortNames names;
        names.setFirstPath(server.slavePath());
        port.setPortNames(names);
        port.open(1);
        port.configure();
        port.setTimeouts({300, 1});
    }
    // Sends a request and reads `replySize` bytes; gives them and the time it took.
    std::pair<std::string, Clock::duration> exchange(const bytes_t& request, int replySize) {
        bytes_t reply(replySize);
        const auto start = Clock::now();
        port.write(request.data(), static_cast<int>(request.size()));
        reply.resize(port.read(reply.data(), replySize));
        return {hexText(reply), Clock::now() - start};
    }

    std::shared_ptr<CControllerSim> sim;
    CPtyServer server;
    CSerialPort port;
};

}  // namespace

TEST_F(PtyServerTest, AnswersThroughTheSerialPort) {
    connect();
    EXPECT_TRUE(server.running());
    EXPECT_EQ(exchange(commandFrame(CMD_TEST), 12).first, "AA 55 06 04 04 00 00 00 00 00 00 0E");
    EXPECT_EQ(exchange(commandFrame(CMD_FUEL_SENSOR), 10).first, "AA 55 04 09 2A 82 AA E1 02 44");
}

TEST_F(PtyServerTest, PacingTakesTheTimeOfTheLine) {
    connect();
    // 36 bytes each way at 38400 baud, 10 bits a byte: 18.75 ms.
    const auto [reply, took] = exchange(commandFrame(CMD_DIAG, 0, kDiagSize), 36);
    ASSERT_EQ(reply.size(), 36u * 3 - 1);
    EXPECT_EQ(reply.substr(0, 11), "AA 55 1E 01");
    EXPECT_GE(took, 18750us);
}

TEST_F(PtyServerTest, WithoutPacingTheReplyComesAtOnce) {
    server.setPacing(false);
    connect();
    Clock::duration fastest = 1h;
    for (int i = 0; i < 5; ++i) {
        const auto [reply, took] = exchange(commandFrame(CMD_DIAG, 0, kDiagSize), 36);
        ASSERT_EQ(reply.size(), 36u * 3 - 1);
        fastest = std::min(fastest, took);
    }
    EXPECT_LT(fastest, 18750us);
}

TEST_F(PtyServerTest, ReplyDelayIsAddedBeforeTheReply) {
    sim->faults().setReplyDelay(40ms);
    server.setPacing(false);
    connect();
    const auto [reply, took] = exchange(commandFrame(CMD_TEST), 12);
    EXPECT_EQ(reply, "AA 55 06 04 04 00 00 00 00 00 00 0E");
    EXPECT_GE(took, 40ms);
}

TEST_F(PtyServerTest, AnAdapterLatencyTimerHoldsTheReplyUntilItRunsOut) {
    server.setPacing(false);
    server.setAdapterLatency(100ms);
    const auto begin = Clock::now();
    connect();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(exchange(commandFrame(CMD_TEST), 12).first,
                  "AA 55 06 04 04 00 00 00 00 00 00 0E");
    }
    EXPECT_GE(Clock::now() - begin, 200ms);  // each reply waited for a run-out of its own
}

TEST_F(PtyServerTest, GarbageBeforeTheFrameIsSkipped) {
    server.setPacing(false);
    connect();
    auto request = hexBytes("13 AA 00");
    const auto test = commandFrame(CMD_TEST);
    request.insert(request.end(), test.begin(), test.end());
    EXPECT_EQ(exchange(request, 12).first, "AA 55 06 04 04 00 00 00 00 00 00 0E");
}

TEST_F(PtyServerTest, VanishedControllerHangsUpTheLine) {
    server.setPacing(false);
    connect();
    ASSERT_EQ(exchange(commandFrame(CMD_TEST), 12).first.size(), 35u);
    sim->faults().vanish();
    bytes_t buffer(4);
    ErrorPtr error = catchError([&] { port.read(buffer.data(), 4); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), CRSError::ERR_RS_OPERATION);
    for (int i = 0; i < 100 && server.running(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_FALSE(server.running());

    // Plugged in again: a new terminal that answers.
    port.close();
    sim->faults().reappear();
    connect();
    EXPECT_EQ(exchange(commandFrame(CMD_TEST), 12).first, "AA 55 06 04 04 00 00 00 00 00 00 0E");
}

TEST_F(PtyServerTest, VanishAfterRequestsEndsTheLine) {
    server.setPacing(false);
    sim->faults().setVanishAfter(1);
    connect();
    EXPECT_EQ(exchange(commandFrame(CMD_TEST), 12).first, "AA 55 06 04 04 00 00 00 00 00 00 0E");
    const auto test = commandFrame(CMD_TEST);
    ErrorPtr error = catchError([&] {
        port.write(test.data(), 12);
        bytes_t buffer(12);
        port.read(buffer.data(), 12);
    });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), CRSError::ERR_RS_OPERATION);
}

TEST_F(PtyServerTest, IdleServerDoesNotSpin) {
    server.start();  // no client at all
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    std::this_thread::sleep_for(200ms);
    getrusage(RUSAGE_SELF, &after);
    const auto cpuUs = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec +
               r.ru_stime.tv_usec;
    };
    EXPECT_LT(cpuUs(after) - cpuUs(before), 50000);
}

TEST_F(PtyServerTest, StopEndsServingAndClosesTheTerminal) {
    connect();
    const auto stopStart = Clock::now();
    server.stop();
    EXPECT_LT(Clock::now() - stopStart, 500ms);
    EXPECT_FALSE(server.running());
    bytes_t buffer(4);
    ErrorPtr error = catchError([&] { port.read(buffer.data(), 4); });
    ASSERT_NE(error, nullptr);
    server.stop();  // a second stop is harmless
}
