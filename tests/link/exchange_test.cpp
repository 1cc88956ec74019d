// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "link/lpg_device.h"
#include "recording_device_ui.h"
#include "scripted_line.h"
#include "support/error_guard.h"

namespace {

using namespace proto;

class ExchangeTest : public ::testing::Test {
  protected:
    ExchangeTest() {
        auto owned = std::make_unique<CScriptedLine>();
        line = owned.get();
        device = std::make_unique<CLPGDevice>(ui, std::move(owned));
        device->line().open(1);
        device->setSleeper([this](std::chrono::milliseconds ms) { pauses.push_back(ms); });
    }

    bool test(int attempts = 10) {
        frame_t reply;
        request_rule_t rule;
        rule.attempts = attempts;
        rule.needDone = true;
        return device->command(CMD_TEST, 0, rule, reply);
    }

    CRecordingDeviceUi ui;
    CScriptedLine* line = nullptr;
    std::unique_ptr<CLPGDevice> device;
    std::vector<std::chrono::milliseconds> pauses;
};

TEST_F(ExchangeTest, PresenceTestSendsTheWorkedExampleBytes) {
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(test());
    ASSERT_EQ(line->requests.size(), 1u);
    EXPECT_EQ(line->requests[0],
              (bytes_t{0xAA, 0x55, 0x06, 0x04, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x13}));
}

TEST_F(ExchangeTest, CheckWordOffByOneIsRejectedAndRetried) {
    bytes_t bad = commandReply(CMD_DONE);
    bad.back() += 1;
    line->script(bad);
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(test());
    EXPECT_EQ(line->requests.size(), 2u);
}

TEST_F(ExchangeTest, AllAttemptsFailingReportsFalseWithoutRaising) {
    EXPECT_FALSE(test(3));
    EXPECT_EQ(line->requests.size(), 3u);
}

TEST_F(ExchangeTest, StoredErrorsStatusIsAcceptedWithOneNestedErrorRequest) {
    line->script(commandReply(CMD_DONE, 0, 0x0010));
    line->script(frameBytes(MSG_TYPE_ERRORS, {0, 0, 0, 0, 0x05, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(test());
    ASSERT_EQ(line->requests.size(), 2u);
    EXPECT_EQ(line->requests[1],
              (bytes_t{0xAA, 0x55, 0x06, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(ui.errorIndicator, std::vector<bool>{true});
    ASSERT_EQ(ui.statusTexts.size(), 1u);
    EXPECT_EQ(ui.statusTexts[0].rfind("Błąd dodatkowy:\n", 0), 0u);
    EXPECT_NE(ui.statusTexts[0].find("ERROR_INJECTOR3"), std::string::npos);
}

TEST_F(ExchangeTest, OtherStatusBitsFailTheExchange) {
    line->script(commandReply(CMD_DONE, 0, 0x0001));
    line->script(commandReply(CMD_DONE, 0, 0x0018));
    line->script(frameBytes(MSG_TYPE_ERRORS, bytes_t(11, 0)));
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(test());
    // 0x0001 rejected, 0x0018 rejected after its nested error request, then accepted.
    EXPECT_EQ(line->requests.size(), 4u);
    ASSERT_GE(ui.statusTexts.size(), 2u);
    EXPECT_EQ(ui.statusTexts[0], "Nieznany typ komendy | ");
    EXPECT_EQ(ui.statusTexts[1], "Błąd CRC | Błąd dodatkowy:\n");
}

TEST_F(ExchangeTest, ZeroLengthReplyReadsOnlyTheCheckWord) {
    // Type 11 carries no record of its own: its check word must equal the type.
    line->script({0xAA, 0x55, 0x00, 0x0B, 0x00, 0x0B});
    std::uint8_t buf[kBufferSize] = {CMD_TEST};
    std::uint8_t length = kCommandSize, type = MSG_TYPE_COMMAND;
    EXPECT_TRUE(device->exchange(buf, length, type));
    EXPECT_EQ(length, 0);
    EXPECT_EQ(type, 11);

    line->script({0xAA, 0x55, 0x00, 0x0B, 0x00, 0x0C});
    length = kCommandSize;
    type = MSG_TYPE_COMMAND;
    EXPECT_FALSE(device->exchange(buf, length, type));

    // An acknowledgement without its six bytes has no status word: refused.
    line->script({0xAA, 0x55, 0x00, 0x04, 0x00, 0x04});
    length = kCommandSize;
    type = MSG_TYPE_COMMAND;
    EXPECT_FALSE(device->exchange(buf, length, type));
}

TEST_F(ExchangeTest, StrayBytesAheadOfAReplyCostOneAttempt) {
    bytes_t noisy{0x13, 0x37};
    const bytes_t done = commandReply(CMD_DONE);
    noisy.insert(noisy.end(), done.begin(), done.end());
    line->script(noisy);
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(test());
    // The first attempt meets the stray bytes; the receive buffer is drained after a
    // failed exchange, so the second attempt reads its own reply.
    EXPECT_EQ(line->requests.size(), 2u);

    // Bytes that were waiting before the request are dropped before it is sent.
    line->inject({0x13, 0x37});
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(test());
    EXPECT_EQ(line->requests.size(), 3u);
}

TEST_F(ExchangeTest, BadStartPairAndShortBodyFail) {
    std::uint8_t buf[kBufferSize] = {};
    std::uint8_t length = kCommandSize, type = MSG_TYPE_COMMAND;
    line->script({0xAB, 0x55, 0x06, 0x04});
    EXPECT_FALSE(device->exchange(buf, length, type));
    line->script({0xAA, 0x55, 0x06, 0x04, 0x04, 0x00});
    length = kCommandSize;
    type = MSG_TYPE_COMMAND;
    EXPECT_FALSE(device->exchange(buf, length, type));
}

TEST_F(ExchangeTest, UncheckedExchangeIgnoresTheStatusWord) {
    line->script(commandReply(CMD_DONE, 0, 0x0003));
    std::uint8_t buf[kBufferSize] = {CMD_TEST};
    std::uint8_t length = kCommandSize, type = MSG_TYPE_COMMAND;
    EXPECT_TRUE(device->exchangeUnchecked(buf, length, type));
    EXPECT_EQ(line->requests.size(), 1u);
    EXPECT_TRUE(ui.statusTexts.empty());
}

TEST_F(ExchangeTest, WrongReplyTypeRetriesOrStopsAtOnce) {
    frame_t reply;
    request_rule_t rule;
    rule.replyType = MSG_TYPE_TABLE;
    line->script(frameBytes(MSG_TYPE_ERRORS, bytes_t(11, 0)));
    line->script(frameBytes(MSG_TYPE_TABLE, bytes_t(26, 100)));
    EXPECT_TRUE(device->command(CMD_SETUP_TABLE, 0, rule, reply));
    EXPECT_EQ(line->requests.size(), 2u);
    EXPECT_EQ(reply.length, 26);

    rule.stopOnOtherType = true;
    line->script(frameBytes(MSG_TYPE_ERRORS, bytes_t(11, 0)));
    line->script(frameBytes(MSG_TYPE_TABLE, bytes_t(26, 100)));
    EXPECT_FALSE(device->command(CMD_SETUP_TABLE, 0, rule, reply));
    EXPECT_EQ(line->requests.size(), 3u);
}

TEST_F(ExchangeTest, PauseComesBeforeEveryAttempt) {
    frame_t reply;
    request_rule_t rule;
    rule.needDone = true;
    rule.pause = std::chrono::milliseconds(500);
    line->script(commandReply(CMD_ERROR));  // not an acknowledgement
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(device->command(CMD_WORK_LPG, 0, rule, reply));
    EXPECT_EQ(pauses, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(500),
                                                              std::chrono::milliseconds(500)}));
}

TEST_F(ExchangeTest, MultiByteFieldsTravelBigEndian) {
    // Parameter 0x0102 of an EEPROM read goes out high byte first.
    frame_t reply;
    request_rule_t rule;
    rule.replyType = MSG_TYPE_EEPROM;
    line->script(frameBytes(MSG_TYPE_EEPROM, {0x01, 0x02, 1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(device->command(CMD_EEPROM, 0x0102, rule, reply));
    EXPECT_EQ(line->requests[0][6], 0x01);
    EXPECT_EQ(line->requests[0][7], 0x02);
    EXPECT_EQ(getU16(reply.payload()), 0x0102);
    EXPECT_EQ(reply.payload()[2], 1);
}

TEST(ByteOrderTest, TablePerFrameTypeConvertsBothWays) {
    std::uint8_t diag[30];
    for (int i = 0; i < 30; ++i)
        diag[i] = static_cast<std::uint8_t>(i);
    swapPayloadOrder(MSG_TYPE_DIAG, diag, 30);
    EXPECT_EQ(getU16(diag + 10), 0x0A0B);  // big-endian 0A 0B
    EXPECT_EQ(getU16(diag + 28), 0x1C1D);
    EXPECT_EQ(diag[9], 9);  // byte fields untouched
    swapPayloadOrder(MSG_TYPE_DIAG, diag, 30);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(diag[i], i);

    std::uint8_t clock[20] = {0x00, 0x00, 0x9C, 0x40};
    clock[16] = 0x00, clock[17] = 0x00, clock[18] = 0x9C, clock[19] = 0x40;
    swapPayloadOrder(MSG_TYPE_CLOCK, clock, 20);
    EXPECT_EQ(getU32(clock), 40000u);
    EXPECT_EQ(getU32(clock + 16), 40000u);

    std::uint8_t table[26] = {1, 2, 3, 4};
    swapPayloadOrder(MSG_TYPE_TABLE, table, 26);
    EXPECT_EQ(table[0], 1);
    EXPECT_EQ(table[1], 2);

    std::uint8_t setup[26] = {0x00, 0x05, 9, 9, 0x0F, 0xA0};
    swapPayloadOrder(MSG_TYPE_SETUP, setup, 26);
    EXPECT_EQ(getU16(setup), 5);
    EXPECT_EQ(getU16(setup + 4), 4000);
    EXPECT_EQ(setup[2], 9);
}

TEST(ByteOrderTest, CheckWordIsAPlainByteSum) {
    const std::uint8_t payload[6] = {9, 0, 0, 0, 0, 0};
    EXPECT_EQ(checkWord(6, 4, payload), 0x0013);
    std::uint8_t big[255];
    std::fill(big, big + 255, 0xFF);
    EXPECT_EQ(checkWord(255, 10, big), (255 + 10 + 255 * 255) % 65536);
}

// A late answer to an earlier request arrives right ahead of this request's own: the
// later of two frames back to back is the answer; a lone frame is taken as it is.
TEST_F(ExchangeTest, LateFrameInFrontOfTheReplyIsSkipped) {
    const bytes_t diag = frameBytes(MSG_TYPE_DIAG, bytes_t(kDiagSize, 7));
    const auto join = [](bytes_t a, const bytes_t& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const auto block = [](std::uint8_t address) {
        return frameBytes(MSG_TYPE_EEPROM, {0, address, address, 0, 0, 0, 0, 0, 0, 0});
    };
    struct case_t {
        const char* name;
        std::vector<bytes_t> replies;  // one per attempt; empty = no answer
        std::uint8_t code;
        std::uint16_t parameter;
        request_rule_t rule;
        std::size_t attempts;       // requests sent
        std::uint16_t answerParam;  // first 16-bit field of the reply taken
        std::uint64_t skipped;
    };
    request_rule_t done;
    done.needDone = true;
    request_rule_t eeprom;
    eeprom.replyType = MSG_TYPE_EEPROM;
    eeprom.matches = [](const frame_t& f) { return getU16(f.payload()) == 0x10; };
    const case_t cases[] = {
        {"sample ahead of an acknowledgement",
         {join(diag, commandReply(CMD_DONE, 5))},
         CMD_WORK_LPG,
         0,
         done,
         1,
         5,
         1},
        {"block of another address ahead",
         {join(block(0x08), block(0x10))},
         CMD_EEPROM,
         0x10,
         eeprom,
         1,
         0x10,
         1},
        {"lone frame of another type is a failed attempt",
         {diag, commandReply(CMD_DONE, 5)},
         CMD_WORK_LPG,
         0,
         done,
         2,
         5,
         0},
        {"acknowledgement of the attempt before",
         {{}, join(commandReply(CMD_DONE, 1), commandReply(CMD_DONE, 2))},
         CMD_WORK_LPG,
         0,
         done,
         2,
         2,
         1},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint64_t before = device->lateFrames();
        const std::size_t sent = line->requests.size();
        for (const bytes_t& reply : c.replies) {
            line->script(reply);
        }
        frame_t reply;
        ASSERT_TRUE(device->command(c.code, c.parameter, c.rule, reply));
        EXPECT_EQ(line->requests.size() - sent, c.attempts);
        EXPECT_EQ(
            c.code == CMD_EEPROM ? getU16(reply.payload()) : getU16(reply.payload() + kCmdParam),
            c.answerParam);
        EXPECT_EQ(device->lateFrames() - before, c.skipped);
    }
}

TEST(FairMutexTest, AWaitingThreadGetsTheLineBeforeTheHoldersNextTurn) {
    CFairMutex mutex;
    std::atomic<bool> waiting{false};
    std::atomic<int> order{0};
    int waiterTurn = 0;
    mutex.lock();
    std::thread other([&] {
        waiting = true;
        std::lock_guard<CFairMutex> hold(mutex);
        waiterTurn = ++order;
    });
    while (!waiting) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the other is queued
    mutex.unlock();
    mutex.lock();  // at once again, as the acquisition loop does
    const int ownTurn = ++order;
    mutex.unlock();
    other.join();
    EXPECT_EQ(waiterTurn, 1);
    EXPECT_EQ(ownTurn, 2);
}

TEST_F(ExchangeTest, SerialFailureInsideAnExchangeReleasesTheMutex) {
    line->failNextRead();
    ErrorPtr error = catchError([&] { test(); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 6u);
    auto other = std::async(std::launch::async, [&] {
        const bool locked = device->exchangeMutex().try_lock();
        if (locked)
            device->exchangeMutex().unlock();
        return locked;
    });
    EXPECT_TRUE(other.get());
}

}  // namespace
