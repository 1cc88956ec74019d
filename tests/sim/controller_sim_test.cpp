// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/controller_sim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "frames.h"
#include "link/cipher.h"

using namespace proto;

namespace {

class ControllerSimTest : public ::testing::Test {
  protected:
    std::string ask(const bytes_t& request) { return hexText(sim.handle(request)); }

    CControllerSim sim{1};
};

const char* kDone = "AA 55 06 04 04 00 00 00 00 00 00 0E";

}  // namespace

TEST_F(ControllerSimTest, AcknowledgesPresenceTest) {
    EXPECT_EQ(hexText(commandFrame(CMD_TEST)), "AA 55 06 04 09 00 00 00 00 00 00 13");
    EXPECT_EQ(ask(hexBytes("AA 55 06 04 09 00 00 00 00 00 00 13")), kDone);
}

TEST_F(ControllerSimTest, AnswersRecordReadsWithFactoryState) {
    EXPECT_EQ(ask(commandFrame(CMD_SETUP, 0, kSetupSize)),
              "AA 55 1A 03 00 00 70 0A 0F A0 85 28 01 13 37 55 00 01 02 04 08 10 20 40 80 52 33 "
              "00 04 01 04 1C");
    EXPECT_EQ(ask(commandFrame(CMD_VERSION)),
              "AA 55 15 08 1C 89 00 04 04 98 B2 C4 5F 3A C2 3C F2 29 AC 02 87 68 F0 04 BA 08 D5");
    EXPECT_EQ(ask(commandFrame(CMD_CLOCK)),
              "AA 55 14 0A 00 00 00 01 00 00 00 02 00 00 01 07 00 00 00 05 00 00 9C 40 01 0A");
    EXPECT_EQ(ask(commandFrame(CMD_SETUP_TABLE)),
              "AA 55 1A 07 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 "
              "64 64 00 09 E5");
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_SENSOR)), "AA 55 04 09 2A 82 AA E1 02 44");
    EXPECT_EQ(ask(commandFrame(CMD_ERROR)), "AA 55 0B 06 00 00 00 00 00 00 00 00 00 00 00 00 11");
}

TEST_F(ControllerSimTest, EepromHoldsTheMapWithItsCheckWord) {
    EXPECT_EQ(ask(commandFrame(CMD_EEPROM, 0)), "AA 55 0A 05 00 00 00 01 02 03 04 05 06 07 00 2B");
    EXPECT_EQ(ask(commandFrame(CMD_EEPROM, 104)),
              "AA 55 0A 05 00 68 64 64 64 64 64 64 64 64 03 97");
    EXPECT_EQ(ask(commandFrame(CMD_EEPROM, 504)),
              "AA 55 0A 05 01 F8 9C 40 5A A5 00 01 FF 10 03 F3");
    const auto eeprom = sim.eeprom();
    unsigned sum = 0;
    for (std::size_t i = 104; i < 504; ++i) {
        sum += eeprom[i];
    }
    EXPECT_EQ(getBE16(&eeprom[504]), sum & 0xFFFF);
}

TEST_F(ControllerSimTest, InjectorSequenceSpreadsOverTheCycle) {
    // 800 rev/min at 40 kHz: a cycle of 6000 ticks, firing order 1-3-4-2.
    EXPECT_EQ(ask(commandFrame(CMD_SEQUENCE)),
              "AA 55 10 02 00 32 11 C6 06 0E 0B EA 00 00 00 00 00 00 00 00 02 24");
    sim.setSequential(false);
    EXPECT_EQ(ask(commandFrame(CMD_SEQUENCE)),
              "AA 55 10 02 00 32 00 32 00 32 00 32 00 00 00 00 00 00 00 00 00 DA");
}

TEST_F(ControllerSimTest, FuelLevelMovesBetweenReadings) {
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_LEVEL)), "AA 55 06 04 04 00 00 67 00 00 00 75");
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_LEVEL)), "AA 55 06 04 04 00 00 6A 00 00 00 78");
    sim.setFuelLevel(244);
    sim.handle(commandFrame(CMD_FUEL_LEVEL));
    EXPECT_EQ(sim.fuelLevel(), 245);
    sim.handle(commandFrame(CMD_FUEL_LEVEL));
    EXPECT_EQ(sim.fuelLevel(), 242);  // turned at the top of the range
}

TEST_F(ControllerSimTest, DiagnosticRequestGivesOnePayload) {
    const auto reply = sim.handle(commandFrame(CMD_DIAG, 0, kDiagSize));
    ASSERT_EQ(reply.size(), 36u);
    EXPECT_EQ(hexText(reply.data(), 4), "AA 55 1E 01");
    EXPECT_EQ(reply[4], 2);                           // on gasoline
    EXPECT_NEAR(getBE16(&reply[4 + 10]), 6000, 100);  // about 800 rev/min
    EXPECT_EQ(getBE16(&reply.back() - 1), checkWord(30, 1, &reply[4]));
}

TEST_F(ControllerSimTest, RecordWritesAreAcknowledgedAndKept) {
    auto setup = CControllerSim::defaultSetup();
    setup[7] = 56;  // main correction 1.4 ms
    EXPECT_EQ(ask(frameBytes(MSG_TYPE_SETUP, bytes_t(setup.begin(), setup.end()))), kDone);
    EXPECT_EQ(sim.setup(), setup);
    EXPECT_EQ(sim.handle(commandFrame(CMD_SETUP, 0, kSetupSize))[4 + 7], 56);

    EXPECT_EQ(ask(hexBytes("AA 55 0A 05 01 00 01 02 03 04 05 06 07 08 00 34")),
              "AA 55 06 04 04 00 01 00 00 00 00 0F");
    EXPECT_EQ(ask(commandFrame(CMD_EEPROM, 256)),
              "AA 55 0A 05 01 00 01 02 03 04 05 06 07 08 00 34");

    bytes_t table(26, 90);
    table[25] = 0;
    EXPECT_EQ(ask(frameBytes(MSG_TYPE_TABLE, table)), kDone);
    EXPECT_EQ(sim.timeTable()[24], 90);

    EXPECT_EQ(ask(frameBytes(MSG_TYPE_FUEL_SENSOR, {225, 170, 130, 42})), kDone);
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_SENSOR)), "AA 55 04 09 E1 AA 82 2A 02 44");
}

TEST_F(ControllerSimTest, VersionWriteChangesIdentity) {
    bytes_t record{0x00, 0x00, 0x00, 0x03, 6};
    const auto id = CCipher::encipherId("ID00000000000005");
    record.insert(record.end(), id.begin(), id.end());
    EXPECT_EQ(ask(frameBytes(MSG_TYPE_VERSION, record)), kDone);
    EXPECT_EQ(sim.id(), "ID00000000000005");
    const auto reply = sim.handle(commandFrame(CMD_VERSION));
    EXPECT_EQ(hexText(reply.data() + 4, 5), "00 00 00 03 06");
    // Six injectors now fire in the order 1-5-3-6-2-4 over the 6000 ticks of a cycle.
    EXPECT_EQ(hexText(sim.handle(commandFrame(CMD_SEQUENCE)).data() + 4, 16),
              "00 32 0F D2 08 02 13 BA 04 1A 0B EA 00 00 00 00");
}

TEST_F(ControllerSimTest, MalformedRecordWritesAreRefused) {
    EXPECT_EQ(ask(frameBytes(MSG_TYPE_SETUP, bytes_t(25, 0))),
              "AA 55 06 04 00 00 00 00 00 02 00 0C");
    EXPECT_EQ(sim.setup(), CControllerSim::defaultSetup());
    // Diagnostic payloads travel only from the controller.
    EXPECT_EQ(ask(frameBytes(MSG_TYPE_DIAG, bytes_t(30, 0))),
              "AA 55 06 04 00 00 00 00 00 02 00 0C");
}

TEST_F(ControllerSimTest, StatusWordReportsWhatWentWrong) {
    EXPECT_EQ(ask(commandFrame(0x30)), "AA 55 06 04 30 00 00 00 00 01 00 3B");
    EXPECT_EQ(ask(commandFrame(CMD_DONE)), "AA 55 06 04 04 00 00 00 00 01 00 0F");
    EXPECT_EQ(ask(frameBytes(11, bytes_t(6, 0))), "AA 55 06 04 00 00 00 00 00 02 00 0C");
    EXPECT_EQ(ask(hexBytes("AA 55 06 04 09 00 00 00 00 00 00 14")),
              "AA 55 06 04 00 00 00 00 00 08 00 12");
    EXPECT_EQ(ask(hexBytes("55 AA 06 04 09 00 00 00 00 00 00 13")),
              "AA 55 06 04 00 00 00 00 00 04 00 0E");
}

TEST_F(ControllerSimTest, StoredErrorsSetBitFourUntilCleared) {
    sim.setErrorReport({0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0x81});
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), "AA 55 06 04 04 00 00 00 00 10 00 1E");
    EXPECT_EQ(ask(commandFrame(0x30)), "AA 55 06 04 30 00 00 00 00 11 00 4B");
    EXPECT_EQ(ask(commandFrame(CMD_ERROR)), "AA 55 0B 06 00 00 00 00 05 00 00 00 00 00 81 00 97");
    // Records carry no status word.
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_SENSOR)), "AA 55 04 09 2A 82 AA E1 02 44");
    EXPECT_EQ(ask(commandFrame(CMD_CLEAR_ERRORS)), kDone);
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), kDone);
    EXPECT_EQ(sim.errorReport(), CControllerSim::error_report_t{});
}

TEST_F(ControllerSimTest, WorkModeCommandsSwitchTheFuel) {
    EXPECT_EQ(ask(commandFrame(CMD_WORK_LPG)), kDone);
    EXPECT_EQ(sim.workMode(), WorkMode::Lpg);
    EXPECT_EQ(sim.handle(commandFrame(CMD_DIAG, 0, kDiagSize))[4], 3);
    EXPECT_EQ(ask(commandFrame(CMD_WORK_GAS)), kDone);
    EXPECT_EQ(sim.handle(commandFrame(CMD_DIAG, 0, kDiagSize))[4], 2);
    EXPECT_EQ(ask(commandFrame(CMD_WORK_AUTO)), kDone);
    EXPECT_EQ(sim.workMode(), WorkMode::Auto);
}

TEST_F(ControllerSimTest, FaultKnobsChangeTheReply) {
    const auto request = commandFrame(CMD_TEST);
    sim.faults().setCorruptProbability(1);
    EXPECT_EQ(ask(request), "AA 55 06 04 04 00 00 00 00 00 00 0F");
    sim.faults().setCorruptProbability(0);

    sim.faults().setStrayProbability(1);
    const auto noisy = sim.handle(request);
    ASSERT_GT(noisy.size(), 12u);
    ASSERT_LE(noisy.size(), 16u);
    EXPECT_NE(noisy[0], kStart1);
    EXPECT_EQ(hexText(bytes_t(noisy.end() - 12, noisy.end())), kDone);
    sim.faults().setStrayProbability(0);

    sim.faults().setDropProbability(1);
    EXPECT_TRUE(sim.handle(request).empty());
    sim.faults().setDropProbability(0.5);
    int answered = 0;
    for (int i = 0; i < 200; ++i) {
        answered += sim.handle(request).empty() ? 0 : 1;
    }
    EXPECT_GT(answered, 60);
    EXPECT_LT(answered, 140);
}

TEST_F(ControllerSimTest, ForcedDropsAndHeldBackRepliesCountDown) {
    const auto fuel = "AA 55 04 09 2A 82 AA E1 02 44";
    sim.faults().dropNext(2);
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), "");
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), "");
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), kDone);

    // A held-back reply goes out ahead of the next request's own.
    sim.faults().staleNext(1);
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), "");
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_SENSOR)), std::string(kDone) + " " + fuel);
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_SENSOR)), fuel);

    // Even when every reply may be held, the one behind a held reply goes out with it;
    // the record says which request each reply answered.
    sim.faults().setStaleProbability(1);
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), "");
    EXPECT_EQ(ask(commandFrame(CMD_FUEL_SENSOR)), std::string(kDone) + " " + fuel);
    const auto log = sim.requests();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[6].sent, std::vector<std::size_t>{});
    EXPECT_EQ(log[7].sent, (std::vector<std::size_t>{7, 8}));
    EXPECT_EQ(log[7].number, 8u);
}

TEST_F(ControllerSimTest, ClockAndVersionCanStaySilent) {
    sim.faults().setAnswersClock(false);
    sim.faults().setAnswersVersion(false);
    EXPECT_TRUE(sim.handle(commandFrame(CMD_CLOCK)).empty());
    EXPECT_TRUE(sim.handle(commandFrame(CMD_VERSION)).empty());
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), kDone);
}

TEST_F(ControllerSimTest, VanishedControllerAnswersNothing) {
    sim.faults().setVanishAfter(2);
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), kDone);
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), kDone);
    EXPECT_FALSE(sim.faults().vanished());
    EXPECT_EQ(ask(commandFrame(CMD_TEST)), "");
    EXPECT_TRUE(sim.faults().vanished());
    EXPECT_EQ(sim.requestCount(), 2u);

    CControllerSim other;
    other.faults().vanish();
    EXPECT_TRUE(other.handle(commandFrame(CMD_TEST)).empty());
}

TEST_F(ControllerSimTest, LogsEveryRequest) {
    sim.handle(commandFrame(CMD_EEPROM, 0x01F8));
    sim.handle(hexBytes("AA 55 06 04 09 00 00 00 00 00 00 14"));
    sim.handle(frameBytes(MSG_TYPE_FUEL_SENSOR, {1, 2, 3, 4}));
    const auto log = sim.requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].type, MSG_TYPE_COMMAND);
    EXPECT_EQ(log[0].command, CMD_EEPROM);
    EXPECT_EQ(log[0].parameter, 0x01F8);
    EXPECT_TRUE(log[0].checkOk);
    EXPECT_FALSE(log[1].checkOk);
    EXPECT_EQ(log[2].type, MSG_TYPE_FUEL_SENSOR);
    EXPECT_EQ(log[2].length, 4);
    sim.clearRequests();
    EXPECT_EQ(sim.requestCount(), 0u);
}

TEST_F(ControllerSimTest, KnobsAndLogMayBeUsedFromOtherThreads) {
    std::atomic<bool> done{false};
    std::thread server([&] {
        for (int i = 0; i < 2000; ++i) {
            sim.handle(commandFrame(i % 2 ? CMD_TEST : CMD_DIAG, 0, i % 2 ? 6 : 30));
        }
        done = true;
    });
    std::size_t seen = 0;
    while (!done) {
        sim.faults().setDropProbability(seen % 2 ? 0.1 : 0.0);
        sim.faults().setReplyDelay(std::chrono::milliseconds(seen % 3));
        seen = std::max(seen, sim.requests().size());
        sim.setErrorReport({});
    }
    server.join();
    EXPECT_EQ(sim.requestCount(), 2000u);
}
