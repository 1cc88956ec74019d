// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>

#include "diag/recording_writer.h"
#include "diag/settings_history.h"
#include "temp_dir.h"

namespace {

constexpr std::time_t kWhen = 1700000000;  // 14 Nov 2023 22:13:20 UTC
const std::string kWhenText = "14-11-2023-22:13:20";

device_info_t record(const std::string& make, std::uint16_t version = 4) {
    device_info_t info;
    info.version = version;
    info.id = "ID00000000000042";
    info.make = make;
    info.model = "Octavia";
    info.timeStamp = "01-01-2020-10:00:00";
    return info;
}

unsigned long hzOf(const std::optional<CControllerClock>& clock) {
    return clock ? clock->hz() : 0;
}

std::string image(const device_info_t& info) {
    const auto bytes = info.toBytes();
    return std::string(bytes.begin(), bytes.end());
}

class SettingsHistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        savedTz = tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "UTC", 1);
        tzset();
        app_msg_t s;
        for (std::uint32_t i = 1; i <= 42; ++i) {
            s.index = i;
            store.push(s);
        }
    }
    void TearDown() override {
        if (savedTz) {
            setenv("TZ", savedTz->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    CTempDir dir;
    std::string recording = dir.path("Diagnostyka.lpgd");
    std::string companion = recording + "-config";
    CDiagData store;
    std::optional<std::string> savedTz;
};

TEST_F(SettingsHistoryTest, CompanionIsTheRecordingNameWithConfigAppended) {
    EXPECT_EQ(CSettingsHistory::companionName("/data/Diagnostyka.lpgd"),
              "/data/Diagnostyka.lpgd-config");
    EXPECT_EQ(CSettingsHistory::timeText(kWhen), kWhenText);
}

TEST_F(SettingsHistoryTest, SnapshotStampsTimeAndNewestIndexAndAppendsTheImage) {
    device_info_t info = record("Skoda");
    ASSERT_TRUE(CSettingsHistory::appendSnapshot(recording, info, store, kWhen));
    EXPECT_EQ(info.timeStamp, kWhenText);
    EXPECT_EQ(info.recordPosition, 42u);

    const std::string bytes = CTempDir::readBytes(companion);
    ASSERT_EQ(bytes.size(), 1200u);
    EXPECT_EQ(bytes, image(info));
    EXPECT_EQ(bytes.substr(188, 20), kWhenText + std::string(1, '\0'));
    EXPECT_EQ(bytes.substr(484, 4), std::string("\x2A\0\0\0", 4));
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x04\0", 2));

    app_msg_t later;
    later.index = 0x01020304;
    store.push(later);
    ASSERT_TRUE(CSettingsHistory::appendSnapshot(recording, info, store, kWhen + 61));
    const std::string both = CTempDir::readBytes(companion);
    ASSERT_EQ(both.size(), 2400u);
    EXPECT_EQ(both.substr(0, 1200), bytes);
    EXPECT_EQ(both.substr(1200 + 188, 19), "14-11-2023-22:14:21");
    EXPECT_EQ(both.substr(1200 + 484, 4), "\x04\x03\x02\x01");
}

TEST_F(SettingsHistoryTest, OnlyTheNineteenCharactersOfTheStampAreReplaced) {
    device_info_t info = record("Skoda");
    info.timeStamp = "01-01-2020-10:00:00 (serwis)";
    ASSERT_TRUE(CSettingsHistory::appendSnapshot(recording, info, store, kWhen));
    EXPECT_EQ(info.timeStamp, kWhenText + " (serwis)");
    EXPECT_EQ(CTempDir::readBytes(companion).substr(188, 28), kWhenText + " (serwis)");
}

TEST_F(SettingsHistoryTest, NoRecordingNameOrNoSampleAppendsNothing) {
    device_info_t info = record("Skoda");
    const device_info_t before = info;
    EXPECT_FALSE(CSettingsHistory::appendSnapshot("", info, store, kWhen));
    CDiagData empty;
    EXPECT_FALSE(CSettingsHistory::appendSnapshot(recording, info, empty, kWhen));
    EXPECT_FALSE(std::filesystem::exists(companion));
    EXPECT_EQ(info, before);
}

TEST_F(SettingsHistoryTest, ACompanionThatCannotBeOpenedReportsFalse) {
    device_info_t info = record("Skoda");
    EXPECT_FALSE(CSettingsHistory::appendSnapshot(dir.path("gone/run.lpgd"), info, store, kWhen));
}

TEST_F(SettingsHistoryTest, HistoryReadsValidRecordsAndIgnoresAStrayTail) {
    CTempDir::writeBytes(companion,
                         image(record("Skoda")) + image(record("Fiat")) + std::string(100, '\x04'));
    std::vector<device_info_t> history = {record("earlier")};
    ASSERT_TRUE(CSettingsHistory::readHistory(recording, history));
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].make, "earlier");  // the caller's entries stay
    EXPECT_EQ(history[1], record("Skoda"));
    EXPECT_EQ(history[2], record("Fiat"));
}

TEST_F(SettingsHistoryTest, ARecordOfAnotherVersionEndsTheHistory) {
    CTempDir::writeBytes(companion,
                         image(record("Skoda")) + image(record("Fiat", 5)) + image(record("Opel")));
    std::vector<device_info_t> history;
    ASSERT_TRUE(CSettingsHistory::readHistory(recording, history));
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].make, "Skoda");

    const std::string bytes = CTempDir::readBytes(companion);
    std::vector<device_info_t> parsed;
    EXPECT_EQ(CSettingsHistory::parseHistory(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size(), parsed),
              1u);
    EXPECT_EQ(parsed, history);
}

TEST_F(SettingsHistoryTest, MissingOrEmptyCompanion) {
    std::vector<device_info_t> history;
    EXPECT_FALSE(CSettingsHistory::readHistory("", history));
    EXPECT_FALSE(CSettingsHistory::readHistory(recording, history));
    CTempDir::writeBytes(companion, "");
    EXPECT_TRUE(CSettingsHistory::readHistory(recording, history));
    EXPECT_TRUE(history.empty());
}

TEST_F(SettingsHistoryTest, SnapshotsReadBackAsHistory) {
    device_info_t info = record("Skoda");
    ASSERT_TRUE(CSettingsHistory::appendSnapshot(recording, info, store, kWhen));
    info.make = "Skoda Fabia";
    ASSERT_TRUE(CSettingsHistory::appendSnapshot(recording, info, store, kWhen + 1));
    std::vector<device_info_t> history;
    ASSERT_TRUE(CSettingsHistory::readHistory(recording, history));
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].make, "Skoda");
    EXPECT_EQ(history[1], info);

    EXPECT_TRUE(CSettingsHistory::truncate(recording));
    EXPECT_EQ(CTempDir::readBytes(companion), "");
    EXPECT_FALSE(CSettingsHistory::truncate(""));
}

}  // namespace

namespace {

// A run starts its companion with the controller's record, clock included, so that the
// recording can be converted later; another firmware's record would end every reader's
// history at once, so none is written for it.
TEST_F(SettingsHistoryTest, ARunStartsItsCompanionWithTheClock) {
    const struct {
        std::uint16_t version;
        std::uint32_t hz;
        std::size_t bytes;
        unsigned long clock;
    } cases[] = {{4, 20000, 1200, 20000}, {4, 0, 1200, 0}, {3, 20000, 0, 0}};
    for (const auto& c : cases) {
        CTempDir::writeBytes(companion, std::string(2400, '\x04'));
        device_info_t info = record("Skoda", c.version);
        info.clock[4] = c.hz;
        ASSERT_TRUE(CSettingsHistory::startRun(recording, info, kWhen));
        EXPECT_EQ(std::filesystem::file_size(companion), c.bytes) << c.version;
        EXPECT_EQ(hzOf(CSettingsHistory::clockOf(recording)), c.clock) << c.hz;
        if (c.bytes != 0) {
            info.timeStamp = kWhenText;
            info.recordPosition = 0;
            EXPECT_EQ(CTempDir::readBytes(companion), image(info));
        }
    }
    EXPECT_EQ(hzOf(CSettingsHistory::clockOf(dir.path("none.lpgd"))), 0u);
}

// The run's clock is the one its companion held while it ran: a snapshot stamped at or
// past the last sample (a settings write while the recording was replayed) is not the
// run's, and a frequency no controller has is no clock.
TEST_F(SettingsHistoryTest, OnlyTheRunsOwnPlausibleSnapshotGivesTheClock) {
    std::string drive;
    for (std::uint32_t i = 1; i <= 20; ++i) {
        app_msg_t s;
        s.index = i;
        drive += CRecordingWriter::formatLine(s);
    }
    CTempDir::writeBytes(recording, drive);
    const auto snapshot = [](std::uint32_t position, std::uint32_t hz) {
        device_info_t info = record("Skoda");
        info.recordPosition = position;
        info.clock[4] = hz;
        return image(info);
    };
    const struct {
        const char* name;
        std::string companion;
        unsigned long clock;  // 0: not known
    } cases[] = {
        {"written after the run", snapshot(20, 40000), 0},
        {"during the run, then after it", snapshot(7, 20000) + snapshot(20, 40000), 20000},
        {"at the run's start", snapshot(0, 20000) + snapshot(20, 40000), 20000},
        {"999 Hz", snapshot(0, 999), 0},
        {"4 000 000 000 Hz", snapshot(3, 4000000000u), 0},
    };
    for (const auto& c : cases) {
        CTempDir::writeBytes(companion, c.companion);
        EXPECT_EQ(hzOf(CSettingsHistory::clockOf(recording)), c.clock) << c.name;
    }
}

// Changes whenever the store is cleared, so that a reader knows a new run began.
TEST(DiagDataRun, ClearingStartsANewRun) {
    CDiagData store;
    const std::uint64_t first = store.run();
    store.push(app_msg_t{});
    EXPECT_EQ(store.run(), first);
    store.clear();
    EXPECT_NE(store.run(), first);
}

}  // namespace
