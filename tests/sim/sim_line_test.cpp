// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_line.h"

#include <gtest/gtest.h>

#include "frames.h"
#include "support/error_guard.h"
#include "support/rs_error.h"

using namespace proto;

namespace {

// The second line names the system's error: errno on Linux, GetLastError() on Windows.
std::string detail(const std::string& operation, const std::string& posix) {
#ifdef _WIN32
    (void)posix;
    return "\nCSerialPort::" + operation + " symulator - GetLastError()=";
#else
    return "\nCSerialPort::" + operation + " symulator: " + posix;
#endif
}

const char* kDone = "AA 55 06 04 04 00 00 00 00 00 00 0E";

class SimLineTest : public ::testing::Test {
  protected:
    SimLineTest() : sim(std::make_shared<CControllerSim>(1)), line(sim) {
        line.open(1);
        line.setTimeouts({100, 1});
    }

    void send(const bytes_t& bytes) {
        EXPECT_EQ(line.write(bytes.data(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }
    std::string receive(int n) {
        bytes_t buffer(n);
        buffer.resize(line.read(buffer.data(), n));
        return hexText(buffer);
    }
    // Runs body and gives the CRSError it raised (null when none).
    template <class F>
    ErrorPtr failure(F&& body) {
        return catchError(body);
    }

    std::shared_ptr<CControllerSim> sim;
    CSimLine line;
};

}  // namespace

TEST_F(SimLineTest, AnswersAFrameWrittenInPieces) {
    const auto request = commandFrame(CMD_TEST);
    send({request.begin(), request.begin() + 4});
    send({request.begin() + 4, request.begin() + 10});
    EXPECT_EQ(sim->requestCount(), 0u);
    send({request.begin() + 10, request.end()});
    EXPECT_EQ(receive(4), "AA 55 06 04");
    EXPECT_EQ(receive(8), "04 00 00 00 00 00 00 0E");
    EXPECT_EQ(line.elapsedMs(), 0);  // nothing had to be waited for
}

TEST_F(SimLineTest, SkipsGarbageBeforeTheFrameStart) {
    send(hexBytes("00 FF AA AA 00 55 AA"));
    send(hexBytes("AA 55 06 04 09 00 00 00 00 00 00 13"));
    EXPECT_EQ(receive(12), kDone);
    EXPECT_EQ(sim->requestCount(), 1u);
}

TEST_F(SimLineTest, ReadWithoutReplyTimesOutOnTheLineClock) {
    EXPECT_EQ(receive(4), "");
    EXPECT_EQ(line.elapsedMs(), 104);
}

TEST_F(SimLineTest, HalfFrameIsDroppedWhenTheLineGoesQuiet) {
    const auto request = commandFrame(CMD_TEST);
    send({request.begin(), request.begin() + 6});
    EXPECT_EQ(receive(4), "");
    send({request.begin() + 6, request.end()});
    EXPECT_EQ(receive(4), "");
    send(request);
    EXPECT_EQ(receive(12), kDone);
}

TEST_F(SimLineTest, DroppedReplyLeavesTheReadEmpty) {
    sim->faults().setDropProbability(1);
    send(commandFrame(CMD_TEST));
    EXPECT_EQ(receive(4), "");
    sim->faults().setDropProbability(0);
    send(commandFrame(CMD_TEST));
    EXPECT_EQ(receive(12), kDone);
}

TEST_F(SimLineTest, StrayBytesComeBeforeTheReply) {
    sim->faults().setStrayProbability(1);
    send(commandFrame(CMD_TEST));
    const std::string all = receive(20);
    EXPECT_NE(all.substr(0, 2), "AA");
    EXPECT_EQ(all.substr(all.size() - std::string(kDone).size()), kDone);
}

TEST_F(SimLineTest, ReplyLaterThanTheTimeOutArrivesForTheNextRead) {
    sim->faults().setReplyDelay(std::chrono::milliseconds(150));
    send(commandFrame(CMD_TEST));
    EXPECT_EQ(receive(4), "");  // gave up after 104 ms
    EXPECT_EQ(receive(12), kDone);
    EXPECT_EQ(line.elapsedMs(), 150);
}

TEST_F(SimLineTest, PurgeInDiscardsWhatHasArrived) {
    send(commandFrame(CMD_TEST));
    line.purgeIn();
    EXPECT_EQ(receive(12), "");
}

TEST_F(SimLineTest, VanishedControllerFailsLikeAnUnpluggedPort) {
    sim->faults().vanish();
    bytes_t buffer(4);
    ErrorPtr error = failure([&] { line.read(buffer.data(), 4); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), CRSError::ERR_RS_OPERATION);
    EXPECT_NE(error->message().find(detail("read()", "EIO (urządzenie odłączone)")),
              std::string::npos);
    EXPECT_NE(dynamic_cast<CRSError*>(error.get()), nullptr);

    line.close();
    error = failure([&] { line.open(1); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), CRSError::ERR_RS_OPEN);
    EXPECT_FALSE(line.isOpen());

    sim->faults().reappear();
    line.open(1);
    send(commandFrame(CMD_TEST));
    EXPECT_EQ(receive(12), kDone);
}

TEST_F(SimLineTest, VanishesAfterItsRequestCount) {
    sim->faults().setVanishAfter(2);
    for (int i = 0; i < 2; ++i) {
        send(commandFrame(CMD_TEST));
        EXPECT_EQ(receive(12), kDone);
    }
    const auto request = commandFrame(CMD_TEST);
    ErrorPtr error = failure([&] { line.write(request.data(), 12); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), CRSError::ERR_RS_OPERATION);
    EXPECT_NE(error->message().find(detail("write()", "EIO (urządzenie odłączone)")),
              std::string::npos);
}

TEST_F(SimLineTest, ControllerAnswersOnItsPortOnly) {
    line.close();
    line.setAnswerPort(3);
    ErrorPtr error = failure([&] { line.open(1); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), CRSError::ERR_RS_OPEN);
    EXPECT_NE(error->message().find(detail("open(1)", "ENOENT")), std::string::npos);
    line.open(3);
    EXPECT_TRUE(line.isOpen());
    line.configure();
}

TEST_F(SimLineTest, ClosedLineRefusesReadsAndWrites) {
    line.close();
    bytes_t buffer(4);
    ErrorPtr error = failure([&] { line.read(buffer.data(), 4); });
    ASSERT_NE(error, nullptr);
    EXPECT_NE(error->message().find(detail("read()", "EBADF")), std::string::npos);
}
