// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "device_replies.h"
#include "link/cipher.h"
#include "link/controller_clock.h"
#include "link/lpg_device.h"
#include "recording_device_ui.h"
#include "scripted_line.h"

namespace {

using namespace proto;

class DeviceTest : public ::testing::Test {
  protected:
    DeviceTest() {
        auto owned = std::make_unique<CScriptedLine>();
        line = owned.get();
        device = std::make_unique<CLPGDevice>(ui, std::move(owned));
        device->setSleeper([this](std::chrono::milliseconds ms) { pauses.push_back(ms); });
    }

    void scriptConnection(std::uint16_t version, std::uint32_t frequency = 40000) {
        line->script(commandReply(CMD_DONE));
        line->script(versionReply(10, version, 4, "ABCDEFGH12345678"));
        line->script(clockReply(frequency));
    }

    std::uint8_t requestCommand(std::size_t i) const { return line->requests.at(i).at(4); }

    CRecordingDeviceUi ui;
    CScriptedLine* line = nullptr;
    std::unique_ptr<CLPGDevice> device;
    std::vector<std::chrono::milliseconds> pauses;
};

TEST_F(DeviceTest, ControllerOnPort3IsFoundAfterPorts1And2Fail) {
    line->missingPorts = {1};
    // Port 2 opens but nothing answers its three presence tests.
    int served = 0;
    line->setResponder([&](const bytes_t&) -> bytes_t {
        if (line->opened.back() != 3)
            return {};
        switch (served++) {
            case 0:
                return commandReply(CMD_DONE);
            case 1:
                return versionReply(10, 4, 4, "ABCDEFGH12345678");
            default:
                return clockReply(40000);
        }
    });
    EXPECT_TRUE(device->connectAuto());
    EXPECT_EQ(line->opened, (std::vector<int>{2, 3}));
    // Three presence tests on port 2, then test, version and clock on port 3.
    ASSERT_EQ(line->requests.size(), 6u);
    EXPECT_EQ(requestCommand(3), CMD_TEST);
    EXPECT_EQ(requestCommand(4), CMD_VERSION);
    EXPECT_EQ(requestCommand(5), CMD_CLOCK);
    EXPECT_TRUE(device->isConnected());
    EXPECT_EQ(ui.connected, std::vector<bool>{true});
    EXPECT_EQ(device->info().id, "ABCDEFGH12345678");
    EXPECT_EQ(device->info().injectors, 4);
    EXPECT_EQ(device->info().clock[0], 5u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DeviceTest, NoControllerAsksForAPortAndReportsEachOutcome) {
    ui.portAnswers.push_back(2);
    EXPECT_FALSE(device->connectAuto());
    EXPECT_EQ(ui.portQuestions, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    // The box says which port was tried, what it gave and what to check.
    EXPECT_EQ(ui.boxes[0].text.rfind("Nie można nawiązać komunikacji z urządzeniem LPG\nport 2: "
                                     "sterownik nie odpowiada\nSprawdź, czy sterownik jest "
                                     "zasilany",
                                     0),
              0u)
        << ui.boxes[0].text;
    EXPECT_EQ(ui.boxes[0].icon, IDeviceUi::Icon::Error);
    EXPECT_EQ(device->connectAttempts().size(), 1u);
    EXPECT_FALSE(device->line().isOpen());  // the port is released for other programs

    EXPECT_FALSE(device->connectAuto());  // the question is cancelled this time
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "Połączenie z urządzeniem nie zostało nawiązane");
    EXPECT_FALSE(device->isConnected());
}

// Ports that are missing share one advice: each port is named, the advice comes once.
TEST(ConnectReportTest, EachAdviceIsGivenOnce) {
    const std::string advice =
        "podłącz przejściówkę USB–RS-232 albo wybierz jeden z portów, które są: /dev/ttyS0.";
    const std::vector<CLPGDevice::connect_attempt_t> attempts{
        {"/dev/pts/0", ""},
        {"/dev/ttyUSB0", "Nie ma portu /dev/ttyUSB0: " + advice},
        {"/dev/ttyUSB1", "Nie ma portu /dev/ttyUSB1: " + advice},
    };
    const std::string report = CLPGDevice::reportOf(attempts);
    EXPECT_EQ(report.rfind("/dev/pts/0: sterownik nie odpowiada\n"
                           "/dev/ttyUSB0: Nie ma portu /dev/ttyUSB0\n"
                           "/dev/ttyUSB1: Nie ma portu /dev/ttyUSB1\n"
                           "P" +
                               advice.substr(1) + "\nSprawdź, czy sterownik jest zasilany",
                           0),
              0u)
        << report;
}

TEST_F(DeviceTest, FlaggedVersionReadsAs4AndResetsTimingBeforeTheClock) {
    scriptConnection(4, 10000);
    ASSERT_TRUE(device->connect(1));
    ASSERT_EQ(device->clock().hz(), 10000u);
    line->script(commandReply(CMD_DONE));
    line->script(versionReply(10, 40004, 4, "ID"));
    // No clock answer: the reset values stay.
    EXPECT_TRUE(device->connect(1));
    EXPECT_EQ(device->info().version, 4);
    EXPECT_DOUBLE_EQ(device->clock().timeUnit(), 0.025);
    EXPECT_DOUBLE_EQ(device->clock().speedConstant(), 4800000.0);
    EXPECT_EQ(ui.quickEditorDisabled, 0);
}

TEST_F(DeviceTest, ClockOf20000HzSetsTheTimingValues) {
    scriptConnection(4, 20000);
    EXPECT_TRUE(device->connect(1));
    EXPECT_DOUBLE_EQ(device->clock().timeUnit(), 0.05);
    EXPECT_DOUBLE_EQ(device->clock().speedConstant(), 2400000.0);
}

TEST_F(DeviceTest, Version3StaysConnectedWithTheMismatchMessage) {
    scriptConnection(3);
    EXPECT_TRUE(device->connect(1));
    EXPECT_TRUE(device->isConnected());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Wersja sterownika LPG nie zgadza się z wersją oprogramowania PC!\n"
              "Szczegóły:\n"
              "   --wersja sterownika LPG - 3\n"
              "   --wersja oprogramowania PC - 4\n"
              "Uruchom odpowiednią wersję oprogramowania PC.");
    EXPECT_EQ(ui.boxes[0].icon, IDeviceUi::Icon::Error);
    EXPECT_EQ(ui.quickEditorDisabled, 1);
}

TEST_F(DeviceTest, UnreadableVersionLeavesTheLinkConnected) {
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(device->connect(1));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Nie powiodło się odczytanie wersji urządzenia!");
    EXPECT_EQ(line->requests.size(), 11u);  // presence test + 10 version attempts
}

TEST_F(DeviceTest, VersionRecordWriteCountsDaysFrom1April2004) {
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(device->writeVersionRecord("01/04/2004", 4, 6, "SHORT"));
    ASSERT_EQ(line->requests.size(), 1u);
    const bytes_t& sent = line->requests[0];
    EXPECT_EQ(sent[2], 21);
    EXPECT_EQ(sent[3], MSG_TYPE_VERSION);
    EXPECT_EQ(sent[4], 0);
    EXPECT_EQ(sent[5], 0);
    EXPECT_EQ(sent[7], 4);
    EXPECT_EQ(sent[8], 6);
    EXPECT_EQ(CCipher::decipherId(sent.data() + 9), "SHORT");

    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(device->writeVersionRecord("02/05/2005", 4, 6, "X"));
    EXPECT_EQ(getBE16(line->requests[1].data() + 4), 365 + 31);

    EXPECT_FALSE(device->writeVersionRecord("1/4/2004", 4, 6, "X"));
    EXPECT_FALSE(device->writeVersionRecord("31/03/2004", 4, 6, "X"));  // before day 0
    EXPECT_EQ(line->requests.size(), 2u);
}

TEST_F(DeviceTest, VersionRecordReadShowsTheStoredFields) {
    line->script(versionReply(396, 40004, 8, "CTRL-42"));
    version_record_t record;
    ASSERT_TRUE(device->readVersionRecord(record));
    EXPECT_EQ(record.day, 2);
    EXPECT_EQ(record.month, 5);
    EXPECT_EQ(record.year, 2005);
    EXPECT_EQ(record.version, 40004);  // shown as stored
    EXPECT_EQ(record.injectors, 8);
    EXPECT_EQ(record.id, "CTRL-42");
}

TEST_F(DeviceTest, WorkModesPauseBeforeEachAttemptAndAutoNeedsGasolineFirst) {
    line->setResponder([](const bytes_t& request) {
        return request[4] == CMD_WORK_GAS ? commandReply(CMD_ERROR) : commandReply(CMD_DONE);
    });
    EXPECT_FALSE(device->setWorkAuto());
    EXPECT_EQ(line->requests.size(), 10u);
    for (const auto& request : line->requests)
        EXPECT_EQ(request[4], CMD_WORK_GAS);
    EXPECT_EQ(pauses.size(), 10u);
    EXPECT_EQ(pauses.front(), std::chrono::milliseconds(500));

    line->setResponder([](const bytes_t&) { return commandReply(CMD_DONE); });
    EXPECT_TRUE(device->setWorkAuto());
    EXPECT_EQ(requestCommand(10), CMD_WORK_GAS);
    EXPECT_EQ(requestCommand(11), CMD_WORK_AUTO);
}

TEST_F(DeviceTest, ErrorsReadAndClearDriveTheIndicator) {
    line->script(frameBytes(MSG_TYPE_ERRORS, {0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0x81}));
    CLPGDevice::report_t report{};
    ASSERT_TRUE(device->readErrors(report));
    EXPECT_EQ(report[1], 3);
    EXPECT_EQ(report[10], 0x81);
    line->script(commandReply(CMD_DONE));
    EXPECT_TRUE(device->clearErrors());
    EXPECT_EQ(requestCommand(1), CMD_CLEAR_ERRORS);
    EXPECT_EQ(ui.errorIndicator, std::vector<bool>{false});
}

TEST_F(DeviceTest, DiagnosticRequestIsOneUncheckedAttempt) {
    CLPGDevice::DiagPayload payload{};
    EXPECT_FALSE(device->requestDiag(3, payload));
    ASSERT_EQ(line->requests.size(), 1u);
    const bytes_t& sent = line->requests[0];
    EXPECT_EQ(sent.size(), 4u + 30 + 2);
    EXPECT_EQ(sent[4], CMD_DIAG);
    EXPECT_EQ(getBE16(sent.data() + 6), 2);  // injector 3 asks with parameter 2

    bytes_t diag(30, 0);
    diag[0] = 3;
    diag[16] = 0x00, diag[17] = 0x78;  // gas_time 120 ticks
    // After the failed request a lone sample may be that request's, late: asked again.
    line->script(frameBytes(MSG_TYPE_DIAG, diag));
    EXPECT_FALSE(device->requestDiag(1, payload));
    line->script(frameBytes(MSG_TYPE_DIAG, diag));
    ASSERT_TRUE(device->requestDiag(1, payload));
    EXPECT_EQ(payload[0], 3);
    EXPECT_EQ(getU16(payload.data() + 16), 120);
}

TEST_F(DeviceTest, SequenceExamplesDecode) {
    const std::uint16_t spread[8] = {0, 500, 250, 0, 0, 0, 0, 0};
    bool staggered = false;
    auto entries = CLPGDevice::decodeSequence(spread, staggered, CControllerClock{});
    EXPECT_TRUE(staggered);
    EXPECT_EQ(entries[0].injector, 3);
    EXPECT_DOUBLE_EQ(entries[0].timeMs, 0.0);
    EXPECT_EQ(entries[1].injector, 2);
    EXPECT_DOUBLE_EQ(entries[1].timeMs, 6.25);
    EXPECT_EQ(entries[1].position, 2);
    for (int i = 2; i < 8; ++i) {
        EXPECT_FALSE(entries[i].present);
        EXPECT_NEAR(entries[i].timeMs, 1638.375, 1e-9);
    }

    const std::uint16_t equal[8] = {77, 77, 77, 77, 77, 77, 77, 77};
    entries = CLPGDevice::decodeSequence(equal, staggered, CControllerClock{});
    EXPECT_FALSE(staggered);
    for (const auto& entry : entries) {
        EXPECT_TRUE(entry.present);
        EXPECT_DOUBLE_EQ(entry.timeMs, 0.0);
    }
}

TEST_F(DeviceTest, SequenceIsNotStaggeredWhenTheSeenInjectorsOpenWithin1Ms) {
    // 40 ticks are 1 ms at the default clock; 0 is an injector not seen.
    const struct {
        std::uint16_t ticks[8];
        bool staggered;
    } cases[] = {
        {{100, 110, 120, 140, 0, 0, 0, 0}, false},  // four cylinders, all within 1 ms
        {{100, 110, 120, 141, 0, 0, 0, 0}, true},   // 1.025 ms
        {{100, 179, 100, 100, 100, 100, 100, 100}, true},
        {{100, 0, 0, 0, 0, 0, 0, 0}, true},  // one injector tells nothing
    };
    for (const auto& c : cases) {
        bool staggered = !c.staggered;
        CLPGDevice::decodeSequence(c.ticks, staggered, CControllerClock{});
        EXPECT_EQ(staggered, c.staggered) << c.ticks[3];
    }
}

TEST_F(DeviceTest, SequenceAndTableReadsStopAtAnotherReplyType) {
    line->setResponder([](const bytes_t&) { return frameBytes(MSG_TYPE_ERRORS, bytes_t(11, 0)); });
    std::vector<sequence_entry_t> entries;
    bool staggered = false;
    EXPECT_FALSE(device->readSequence(entries, staggered));
    EXPECT_FALSE(device->readTimeTable());
    EXPECT_EQ(line->requests.size(), 2u);
}

TEST_F(DeviceTest, TimeTableBytesAreEntriesPlus100) {
    bytes_t table(26, 100);
    table[0] = 0;
    table[24] = 255;
    line->script(frameBytes(MSG_TYPE_TABLE, table));
    ASSERT_TRUE(device->readTimeTable());
    EXPECT_DOUBLE_EQ(device->info().timeTable[0], -100.0);
    EXPECT_DOUBLE_EQ(device->info().timeTable[1], 0.0);
    EXPECT_DOUBLE_EQ(device->info().timeTable[24], 155.0);

    device->info().timeTable[0] = 55.9;
    device->info().timeTable[1] = -12.7;
    line->script(commandReply(CMD_DONE));
    ASSERT_TRUE(device->writeTimeTable());
    const bytes_t& sent = line->requests.back();
    EXPECT_EQ(sent[2], 26);
    EXPECT_EQ(sent[3], MSG_TYPE_TABLE);
    EXPECT_EQ(sent[4], 155);
    EXPECT_EQ(sent[5], 87);
    EXPECT_EQ(sent[4 + 25], 0);
}

TEST_F(DeviceTest, EepromRangeWhoseThirdBlockFailsStopsThere) {
    int blocks = 0;
    line->setResponder(
        [&](const bytes_t&) { return ++blocks <= 2 ? commandReply(CMD_DONE) : bytes_t{}; });
    std::uint8_t image[512] = {};
    EXPECT_FALSE(device->writeEeprom(image, 0, sizeof image));
    ASSERT_EQ(line->requests.size(), 2u + 10u);
    EXPECT_EQ(getBE16(line->requests[0].data() + 4), 0);
    EXPECT_EQ(getBE16(line->requests[1].data() + 4), 8);
    EXPECT_EQ(getBE16(line->requests[2].data() + 4), 16);
    EXPECT_EQ(ui.progress.front(), 0);
    EXPECT_EQ(ui.progress.back(), 0);
    EXPECT_EQ(ui.progress, (std::vector<int>{0, 0, 1, 0}));
}

TEST_F(DeviceTest, MapReadChecksTheWordAndKeepsTheTailForTheWrite) {
    std::vector<std::uint8_t> area(408, 100);
    unsigned sum = 400 * 100;
    area[400] = static_cast<std::uint8_t>(sum >> 8);
    area[401] = static_cast<std::uint8_t>(sum);
    for (int i = 402; i < 408; ++i)
        area[i] = static_cast<std::uint8_t>(i);
    line->setResponder([&](const bytes_t& request) {
        const std::uint16_t address = getBE16(request.data() + 6);
        bytes_t block{request[6], request[7]};
        block.insert(block.end(), area.begin() + (address - 104), area.begin() + (address - 96));
        return frameBytes(MSG_TYPE_EEPROM, block);
    });
    EXPECT_TRUE(device->readMap());
    EXPECT_EQ(line->requests.size(), 51u);
    EXPECT_EQ(device->map()[399], 100);
    EXPECT_EQ(device->mapTail()[0], 402 & 0xFF);

    area[0] = 101;  // the check word no longer matches, the bytes are still taken
    EXPECT_FALSE(device->readMap());
    EXPECT_EQ(device->map()[0], 101);

    // The write reads the tail afresh: it keeps what the controller holds now.
    area[402] = 0xEE;
    line->setResponder([&](const bytes_t& request) {
        if (request[3] == MSG_TYPE_EEPROM) {
            return commandReply(CMD_DONE);
        }
        bytes_t block{request[6], request[7]};
        block.insert(block.end(), area.begin() + 400, area.end());
        return frameBytes(MSG_TYPE_EEPROM, block);
    });
    device->map().fill(1);
    ASSERT_TRUE(device->writeMap());
    const bytes_t& last = line->requests.back();  // address 504: check word + tail
    EXPECT_EQ(getBE16(last.data() + 4), 504);
    EXPECT_EQ(getBE16(last.data() + 6), 400);
    EXPECT_EQ(last[8], 0xEE);
    EXPECT_EQ(last[9], 403 & 0xFF);
}

TEST_F(DeviceTest, FuelSensorAndLevel) {
    line->script(frameBytes(MSG_TYPE_FUEL_SENSOR, {42, 130, 170, 225}));
    CLPGDevice::FuelThresholds thresholds{};
    ASSERT_TRUE(device->readFuelSensor(thresholds));
    EXPECT_EQ(thresholds, (CLPGDevice::FuelThresholds{42, 130, 170, 225}));
    line->script(commandReply(CMD_DONE));
    ASSERT_TRUE(device->writeFuelSensor({1, 2, 3, 4}));
    EXPECT_EQ(line->requests.back(), (bytes_t{0xAA, 0x55, 4, 9, 1, 2, 3, 4, 0x00, 0x17}));
    line->script(commandReply(CMD_DONE, 612));
    std::uint16_t level = 0;
    ASSERT_TRUE(device->readFuelLevel(level));
    EXPECT_EQ(level, 612);
}

TEST_F(DeviceTest, SettingsReadConvertsAndShowsTheMainCorrection) {
    bytes_t setup{0, 0, 112, 10, 0x0F, 0xA0, 133, 41,  1,  0x13, 55, 85, 0,
                  1, 2, 4,   8,  16,   32,   64,  128, 82, 51,   0,  4,  1};
    line->script(frameBytes(MSG_TYPE_SETUP, setup));
    ASSERT_TRUE(device->readSetup());
    EXPECT_EQ(line->requests[0].size(), 4u + 26 + 2);
    EXPECT_DOUBLE_EQ(device->heldSetup().switchSpeed, 1200);
    EXPECT_DOUBLE_EQ(device->heldSetup().mainCorrection, 1.025);
    EXPECT_EQ(ui.mainCorrections, std::vector<double>{1.025});
}

}  // namespace

namespace {

// The job's car: an editor's older copy does not undo a car given meanwhile, a file's car
// comes only while none was given, and another controller ends it.
TEST_F(DeviceTest, TheJobsCarChangesOnlyByTheCarDialogOrAnotherController) {
    device->info().make = "X";
    device->setCarInfoGiven(true);
    device_info_t editorCopy;  // opened before the car was given
    editorCopy.notes = "uwagi";
    device->adoptRecord(editorCopy);
    EXPECT_EQ(device->info().make, "X");
    EXPECT_EQ(device->info().notes, "uwagi");

    device->setCarInfoGiven(false);
    editorCopy.make = "Z";
    device->adoptRecord(editorCopy);
    EXPECT_EQ(device->info().make, "Z");

    device->setCarInfoGiven(true);
    const struct {
        const char* id;
        bool carKept;
    } answers[] = {{"ID-1", true}, {"ID-1", true}, {"ID-2", false}};
    device->info().id = "ID-1";
    for (const auto& a : answers) {
        line->script(versionReply(1, 4, 4, a.id));
        CLPGDevice::VersionBytes version{};
        ASSERT_TRUE(device->readVersion(version));
        EXPECT_EQ(device->carInfoGiven(), a.carKept) << a.id;
        EXPECT_EQ(device->info().make, a.carKept ? "Z" : "") << a.id;
    }
}

}  // namespace
