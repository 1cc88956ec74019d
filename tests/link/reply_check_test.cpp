// SPDX-License-Identifier: GPL-3.0-or-later
// A reply counts only when it is whole and answers the question asked: short records,
// blocks of another address and answers left over from an earlier request are failed
// attempts.
#include <gtest/gtest.h>

#include <functional>

#include "connected_sim.h"
#include "link/controller_clock.h"
#include "link/lpg_device.h"
#include "recording_device_ui.h"
#include "scripted_line.h"

namespace {

using namespace proto;
using namespace std::chrono_literals;

class ReplyCheckTest : public ::testing::Test {
  protected:
    ReplyCheckTest() {
        auto owned = std::make_unique<CScriptedLine>();
        line = owned.get();
        device = std::make_unique<CLPGDevice>(ui, std::move(owned));
        device->line().open(1);
    }

    CRecordingDeviceUi ui;
    CScriptedLine* line = nullptr;
    std::unique_ptr<CLPGDevice> device;
};

struct reply_case_t {
    const char* name;
    std::uint8_t type;
    std::uint8_t size;  // the record the reply type carries
    std::function<bool(CLPGDevice&)> operation;
    bool singleAttempt = false;
};

// A whole record of the type: zeros, or a positive acknowledgement.
bytes_t record(std::uint8_t type, std::size_t size) {
    bytes_t payload(size, 0);
    if (type == MSG_TYPE_COMMAND) {
        payload[kCmdCode] = CMD_DONE;
    }
    return payload;
}

TEST_F(ReplyCheckTest, ReplyShorterThanItsRecordIsAFailedAttempt) {
    const std::vector<reply_case_t> cases = {
        {"acknowledgement", MSG_TYPE_COMMAND, 6,
         [](CLPGDevice& d) {
             std::uint16_t level = 0;
             return d.readFuelLevel(level);
         }},
        {"diagnostics", MSG_TYPE_DIAG, 30,
         [](CLPGDevice& d) {
             CLPGDevice::DiagPayload payload{};
             return d.requestDiag(1, payload);
         },
         true},
        {"sequence", MSG_TYPE_SEQUENCE, 16,
         [](CLPGDevice& d) {
             std::vector<sequence_entry_t> entries;
             bool staggered = false;
             return d.readSequence(entries, staggered);
         }},
        {"settings", MSG_TYPE_SETUP, 26, [](CLPGDevice& d) { return d.readSetup(); }},
        {"EEPROM", MSG_TYPE_EEPROM, 10,
         [](CLPGDevice& d) {
             eeprom_block_t block;
             return d.readEepromBlock(block);
         }},
        {"errors", MSG_TYPE_ERRORS, 11,
         [](CLPGDevice& d) {
             CLPGDevice::report_t report{};
             return d.readErrors(report);
         }},
        {"table", MSG_TYPE_TABLE, 25, [](CLPGDevice& d) { return d.readTimeTable(); }},
        {"version", MSG_TYPE_VERSION, 21,
         [](CLPGDevice& d) {
             version_record_t version;
             return d.readVersionRecord(version);
         }},
        {"fuel", MSG_TYPE_FUEL_SENSOR, 4,
         [](CLPGDevice& d) {
             CLPGDevice::FuelThresholds thresholds{};
             return d.readFuelSensor(thresholds);
         }},
        {"clock", MSG_TYPE_CLOCK, 20,
         [](CLPGDevice& d) {
             CLPGDevice::ClockBytes clock{};
             return d.readClock(clock);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        line->requests.clear();
        const bytes_t whole = record(c.type, c.size);
        const bytes_t empty = frameBytes(c.type, {});
        const bytes_t shortByOne = frameBytes(c.type, bytes_t(whole.begin(), whole.end() - 1));
        if (c.singleAttempt) {
            line->script(empty);
            EXPECT_FALSE(c.operation(*device));
            line->script(shortByOne);
            EXPECT_FALSE(c.operation(*device));
        } else {
            line->script(empty);
            line->script(shortByOne);
            line->script(frameBytes(c.type, whole));
            EXPECT_TRUE(c.operation(*device));
            EXPECT_EQ(line->requests.size(), 3u);
        }
        if (c.type == MSG_TYPE_DIAG) {
            // A lone sample right after failed requests may be a late answer: dropped.
            line->script(frameBytes(c.type, whole));
            EXPECT_FALSE(c.operation(*device));
        }
        // The whole record is taken at once.
        line->requests.clear();
        line->script(frameBytes(c.type, whole));
        EXPECT_TRUE(c.operation(*device));
        EXPECT_EQ(line->requests.size(), 1u);
    }
}

TEST_F(ReplyCheckTest, EepromBlockOfAnotherAddressIsRetried) {
    int served = 0;
    line->setResponder([&](const bytes_t& request) {
        // The first answer is for the block before the one asked for.
        const std::uint16_t asked = getBE16(request.data() + 6);
        const std::uint16_t address = served++ == 0 ? asked - 8 : asked;
        bytes_t block{static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
        block.resize(10, static_cast<std::uint8_t>(address));
        return frameBytes(MSG_TYPE_EEPROM, block);
    });
    eeprom_block_t block;
    block.address = 16;
    ASSERT_TRUE(device->readEepromBlock(block));
    EXPECT_EQ(line->requests.size(), 2u);
    EXPECT_EQ(block.address, 16);
    EXPECT_EQ(block.data[0], 16);
}

TEST_F(ReplyCheckTest, AcknowledgementWaitingBeforeTheRequestIsNotTakenForItsAnswer) {
    line->inject(commandReply(CMD_DONE));
    line->setResponder([](const bytes_t&) { return commandReply(0, 0, STATUS_UNKNOWN_FRAME); });
    EXPECT_FALSE(device->writeEepromBlock(eeprom_block_t{}));
    EXPECT_EQ(line->requests.size(), 10u);
}

// The in-process simulated controller on its own clock: nothing really waits.
class LateSimTest : public ::testing::Test {
  protected:
    LateSimTest() = default;

    static CConnectedSim::options_t lineOpen() {
        CConnectedSim::options_t options;
        options.seed = 3;
        options.start = CConnectedSim::Start::Open;
        return options;
    }

    CConnectedSim connected{lineOpen()};
    CControllerSim* sim = &connected.sim();
    CSimLine* line = &connected.line();
    CLPGDevice* device = &connected.device();
};

TEST_F(LateSimTest, EepromReadAnsweredLateGetsEveryBlockFromItsOwnAddress) {
    CConnectedSim::applyPreset(*sim, CConnectedSim::Preset::Late);  // 600 ms
    std::array<std::uint8_t, CControllerSim::kEepromSize> image{};
    ASSERT_TRUE(device->readEeprom(image.data(), 0, image.size()));
    EXPECT_EQ(image, sim->eeprom());
    EXPECT_GE(line->elapsedMs(), 600 * 64);  // every block waited for its late answer
}

TEST_F(LateSimTest, HeldBackAcknowledgementNeverAnswersTheNextRequest) {
    sim->faults().staleNext(1);
    ASSERT_TRUE(device->clearErrors());  // answered, its held-back reply arriving too
    sim->faults().dropNext(10);          // the write is never acknowledged
    EXPECT_FALSE(device->writeEepromBlock(eeprom_block_t{}));
}

TEST_F(LateSimTest, AnswerBehindALateOneNeverAnswersTheNextRequest) {
    // On a paced line the attempt after a lost answer hears the late answer first, its
    // own right behind it, still on its way when the next request goes out.
    line->setPacing(true);
    sim->faults().staleNext(1);
    std::uint16_t level = 0;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(device->readFuelLevel(level));
    }
    // Every reading moves the sender: the last answer is the last reading.
    EXPECT_EQ(level, sim->fuelLevel());
    EXPECT_EQ(sim->requestCount(), 5u);
}

}  // namespace

namespace {

// After a failed sample request, a sample frame arriving alone may be that request's,
// late: it is dropped and the sample asked for again, so no sample is recorded one
// exchange older than it is. A lone confirmation after a failed request stays taken.
TEST_F(LateSimTest, ALoneSampleAfterAFailedRequestIsAskedForAgain) {
    sim->faults().staleNext(1);  // the first answer arrives only after the next request
    CLPGDevice::DiagPayload payload{};
    EXPECT_FALSE(device->requestDiag(1, payload));
    sim->faults().dropNext(1);  // whose own answer is lost: the late one comes alone
    EXPECT_FALSE(device->requestDiag(1, payload));
    EXPECT_EQ(device->lateFrames(), 1u);
    EXPECT_TRUE(device->requestDiag(1, payload));  // the next one is answered afresh
}

}  // namespace
