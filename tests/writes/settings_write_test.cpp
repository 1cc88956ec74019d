// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/settings_write.h"

#include <gtest/gtest.h>

#include "device_replies.h"
#include "fake_store.h"
#include "link/controller_clock.h"
#include "link/lpg_device.h"
#include "recording_device_ui.h"
#include "scripted_line.h"

namespace {

using namespace proto;

// A device on a scripted line with its settings write.
class WriteTest : public ::testing::Test {
  protected:
    WriteTest() {
        device->setSleeper([](std::chrono::milliseconds) {});
    }

    std::uint8_t requestCommand(std::size_t i) const { return line->requests.at(i).at(4); }

    CRecordingDeviceUi ui;
    std::unique_ptr<CScriptedLine> owned = std::make_unique<CScriptedLine>();
    CScriptedLine* line = owned.get();
    std::unique_ptr<CLPGDevice> device = std::make_unique<CLPGDevice>(ui, std::move(owned));
    CSettingsWrite writer{*device};
};

class WriteSetupTest : public WriteTest {
  protected:
    // The controller's table is known, as the window reads it at start; what a write
    // without it does is tested apart.
    WriteSetupTest() {
        writer.setStore(&store);
        writer.setSnapshot([this](const device_info_t&) { ++snapshots; });
        line->script(frameBytes(MSG_TYPE_TABLE, bytes_t(25, 100)));
        EXPECT_TRUE(device->readTimeTable());
        line->requests.clear();
    }
    FakeStore store;
    dev_setup_t setup;
    int snapshots = 0;
};

// The write shows nothing itself: the front end asks for the car and tells the outcome.
TEST_F(WriteSetupTest, WithoutTheCarNothingIsSentAndTheOutcomeSaysWhy) {
    const setup_write_t written = writer.write(setup);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.refusal, setup_write_t::Refusal::CarInfo);
    EXPECT_EQ(written.problem,
              "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej "
              "instalacji");
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(line->requests.empty());
}

TEST_F(WriteSetupTest, WritesTheCallersRecordAndFilesItAfterTheAcknowledgement) {
    device->setCarInfoGiven(true);
    line->script(versionReply(1, 4, 4, "ID-1"));
    line->script(commandReply(CMD_DONE));
    setup.mainCorrection = 1.5;
    const setup_write_t written = writer.write(setup);
    ASSERT_TRUE(written);
    ASSERT_EQ(line->requests.size(), 2u);
    EXPECT_EQ(requestCommand(0), CMD_VERSION);
    const bytes_t& sent = line->requests[1];
    EXPECT_EQ(sent[2], 26);
    EXPECT_EQ(sent[3], MSG_TYPE_SETUP);
    EXPECT_EQ(sent[4 + 7], 60);  // 1.5 ms at 0.025 ms a tick
    ASSERT_EQ(store.stored.size(), 1u);
    EXPECT_EQ(store.stored[0].id, "ID-1");
    EXPECT_DOUBLE_EQ(store.stored[0].setup.mainCorrection, 1.5);
    EXPECT_EQ(store.stored[0].timeStamp.size(), 19u);
    EXPECT_DOUBLE_EQ(device->heldSetup().mainCorrection, 1.5);
    EXPECT_EQ(snapshots, 1);
    EXPECT_EQ(ui.mainCorrections, std::vector<double>{1.5});
    EXPECT_EQ(written.when.size(), 8u);

    // Another controller answers the next write's version read: its car is not this one,
    // so nothing is sent or filed until the front end has asked for it.
    line->requests.clear();
    line->script(versionReply(1, 4, 4, "ID-2"));
    const setup_write_t other = writer.write(setup);
    EXPECT_EQ(other.refusal, setup_write_t::Refusal::CarInfo);
    EXPECT_EQ(line->requests.size(), 1u);
    EXPECT_EQ(store.stored.size(), 1u);
}

// Nothing is sent to another version, when the file cannot be prepared or when the
// check refuses the record; nothing is filed when the controller never acknowledges.
TEST_F(WriteSetupTest, NothingIsSentOrFiledUnlessEverythingHolds) {
    using Refusal = setup_write_t::Refusal;
    device->setUnlocked(true);
    line->script(versionReply(1, 3, 4, "ID"));
    const setup_write_t otherVersion = writer.write(setup);
    EXPECT_EQ(otherVersion.refusal, Refusal::Version);
    EXPECT_EQ(otherVersion.problem.rfind("Wersja sterownika LPG nie zgadza się", 0), 0u);
    EXPECT_EQ(line->requests.size(), 1u);

    store.succeed = false;
    line->script(versionReply(1, 4, 4, "ID"));
    const setup_write_t noFile = writer.write(setup);
    EXPECT_EQ(noFile.refusal, Refusal::File);
    EXPECT_EQ(noFile.severity, setup_write_t::Severity::Error);
    EXPECT_EQ(noFile.problem,
              "Nie można wpisać ustawień do pliku z danymi samochodu\nbrak miejsca na dysku");
    EXPECT_EQ(line->requests.size(), 2u);

    setup.minSupply = 15;  // in range, but the controller would keep 15.1 V
    const setup_write_t refused = writer.write(setup);
    EXPECT_EQ(refused.refusal, Refusal::Check);
    EXPECT_NE(refused.problem.find("minimalnego napięcia zasilania"), std::string::npos);
    EXPECT_EQ(line->requests.size(), 2u);

    store.succeed = true;
    setup.minSupply = 11;
    line->script(versionReply(1, 4, 4, "ID"));
    const setup_write_t unanswered = writer.write(setup);
    EXPECT_EQ(unanswered.status, setup_write_t::Status::NotAnswered);
    EXPECT_EQ(store.prepared, 2);  // the refused file, then this one
    EXPECT_TRUE(store.stored.empty());
    EXPECT_EQ(snapshots, 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WriteSetupTest, AFailedCommitIsSaidButTheWriteStands) {
    device->setUnlocked(true);
    store.commitResult = {false,
                          "Uwaga: sterownik przyjął ustawienia, ale nie udało się "
                          "zapisać pliku samochodu: x"};
    line->script(versionReply(1, 4, 4, "ID"));
    line->script(commandReply(CMD_DONE));
    const setup_write_t written = writer.write(setup);
    EXPECT_TRUE(written);
    EXPECT_FALSE(written.filed);
    EXPECT_EQ(written.problem, store.commitResult.problem);
    EXPECT_EQ(written.severity, setup_write_t::Severity::Error);
}

TEST_F(WriteSetupTest, UnreadableVersionStopsTheWrite) {
    device->setUnlocked(true);
    EXPECT_EQ(writer.write(setup).problem, "Nie można wczytać wersji urządzenia");
    EXPECT_EQ(line->requests.size(), 10u);
    EXPECT_EQ(store.prepared, 0);
}

// A write whose values the controller rounds: the file, the snapshot and the held
// settings hold the stored values, and the outcome names each one changed.
TEST_F(WriteSetupTest, WhatIsFiledIsWhatTheControllerStores) {
    device->setUnlocked(true);
    std::vector<device_info_t> snapshots;
    writer.setSnapshot([&](const device_info_t& written) { snapshots.push_back(written); });
    line->script(versionReply(1, 4, 4, "ID"));
    line->script(commandReply(CMD_DONE));
    setup.emulatorDelay = 2.7;
    setup.mainCorrection = 1.01;
    setup.pressureSlope = 0.15;
    setup.minSupply = 11.04;
    const setup_write_t written = writer.write(setup);
    ASSERT_TRUE(written);
    const struct {
        double dev_setup_t::*field;
        double stored;
    } expected[] = {{&dev_setup_t::emulatorDelay, 2.5},
                    {&dev_setup_t::mainCorrection, 1.0},
                    {&dev_setup_t::pressureSlope, 0.1},
                    {&dev_setup_t::minSupply, 11.1}};
    ASSERT_EQ(store.stored.size(), 1u);
    ASSERT_EQ(snapshots.size(), 1u);
    for (const auto& e : expected) {
        EXPECT_DOUBLE_EQ(store.stored[0].setup.*e.field, e.stored);
        EXPECT_DOUBLE_EQ(snapshots[0].setup.*e.field, e.stored);
        EXPECT_DOUBLE_EQ(device->heldSetup().*e.field, e.stored);
    }
    ASSERT_EQ(written.adjusted.size(), 4u);
    EXPECT_EQ(written.adjusted[0],
              "Minimalne napięcie zasilania: sterownik zapisał 11,1 V zamiast 11,04 V");
    EXPECT_EQ(written.adjusted[1],
              "Opóźnienie włączenia emulatora: sterownik zapisał 2,5 s zamiast 2,7 s");
}

// The file holds the controller's table, not one edited and never written; a table the
// program has not seen yet is read first, and a write whose table cannot be read is
// written but not filed.
TEST_F(WriteTest, TheFiledTableIsTheControllersOwn) {
    FakeStore store;
    writer.setStore(&store);
    device->setUnlocked(true);
    device->info().timeTable.fill(7);  // edited in a pane, never written
    line->script(versionReply(1, 4, 4, "ID"));
    line->script(frameBytes(MSG_TYPE_TABLE, bytes_t(25, 103)));
    line->script(commandReply(CMD_DONE));
    const setup_write_t filed = writer.write(dev_setup_t{});
    ASSERT_TRUE(filed);
    EXPECT_TRUE(filed.filed);
    ASSERT_EQ(store.stored.size(), 1u);
    EXPECT_DOUBLE_EQ(store.stored[0].timeTable[0], 3);
    EXPECT_DOUBLE_EQ(device->info().timeTable[0], 7);  // the edit is still there

    FakeStore unread;
    auto fresh = std::make_unique<CScriptedLine>();
    CScriptedLine* freshLine = fresh.get();
    CLPGDevice other(ui, std::move(fresh));
    CSettingsWrite otherWriter(other, &unread);
    other.setUnlocked(true);
    other.setReadTimeouts(device->readTimeouts());
    freshLine->setResponder([](const bytes_t& request) {
        if (request[3] == MSG_TYPE_SETUP) {
            return commandReply(CMD_DONE);
        }
        return request[4] == CMD_VERSION ? versionReply(1, 4, 4, "ID") : bytes_t{};
    });
    const setup_write_t unfiled = otherWriter.write(dev_setup_t{});
    EXPECT_TRUE(unfiled);
    EXPECT_FALSE(unfiled.filed);
    EXPECT_FALSE(unfiled.noCar);
    EXPECT_NE(unfiled.problem.find("tabeli poprawek czasu"), std::string::npos);
    EXPECT_EQ(unread.prepared, 0);
}

}  // namespace
