// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/car_settings_history.h"
#include "settings/car_settings_store.h"
#include "settings/memory_preferences.h"
#include "settings/settings_compare.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::time_t at(int day, int hour, int minute = 0) {
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

device_info_t record(double mainCorrection, int switchSpeed = 1200) {
    device_info_t info;
    info.version = 4;
    info.id = "ID01";
    info.make = "Opel";
    info.model = "Astra";
    info.capacity = "1.6";
    info.setup.mainCorrection = mainCorrection;
    info.setup.switchSpeed = static_cast<decltype(info.setup.switchSpeed)>(switchSpeed);
    return info;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CarSettingsHistoryTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;

    // A store as the program files it, at `when` by the file's own time.
    std::string store(const device_info_t& info, std::time_t when) {
        const std::string file = CCarInfo::carSettingsPath(dir.folder(), info, when);
        EXPECT_TRUE(CCarSettingsHistory::keepReplaced(file));
        EXPECT_TRUE(CCarInfo::storeCarSettingsFile(file, info, &prefs_));
        const timespec times[2] = {{when, 0}, {when, 0}};
        EXPECT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        return file;
    }

    std::string car() const { return dir.folder() + "Opel-Astra-1.6"; }

    CMemoryPreferences prefs_;
};

TEST_F(CarSettingsHistoryTest, ThreeStoresOnTwoDaysGiveThreeEntriesWithTheirChanges) {
    store(record(1.0), at(1, 9, 30));
    const std::string first = bytesOf(car() + "/ID01-01-02-2024.settings");
    store(record(1.5), at(1, 17));
    store(record(1.5, 1500), at(2, 10));

    const auto entries = CCarSettingsHistory::list(car());
    const struct {
        std::string file, when, changes;
        bool replaced;
    } expected[] = {
        {"/Historia/ID01-01-02-2024-093000.settings", "01-02-2024 09:30:00", "", true},
        {"/ID01-01-02-2024.settings", "01-02-2024 17:00:00", "mainCorrection: 1 ms | 1.5 ms\n",
         false},
        {"/ID01-02-02-2024.settings", "02-02-2024 10:00:00",
         "switchRpm: 1200 rev/min | 1500 rev/min\n", false},
    };
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].path, car() + expected[i].file);
        EXPECT_EQ(entries[i].when, expected[i].when);
        EXPECT_EQ(entries[i].replaced, expected[i].replaced);
        EXPECT_TRUE(entries[i].readable);
        EXPECT_EQ(CSettingsCompare::text(entries[i].changes), expected[i].changes);
    }
    // The replaced file is the earlier store byte for byte, and the chooser does not see it.
    EXPECT_EQ(bytesOf(entries[0].path), first);
    EXPECT_EQ(CCarInfo(&prefs_, dir.folder()).listSettingsFiles("Opel", "Astra", "1.6"),
              (std::vector<std::string>{"ID01-01-02-2024.settings", "ID01-02-02-2024.settings"}));
}

TEST_F(CarSettingsHistoryTest, StoresWithinOneSecondKeepEveryFileInOrder) {
    store(record(1.0), at(1, 9));
    store(record(1.1), at(1, 9));
    store(record(1.2), at(1, 9));
    store(record(1.3), at(1, 9));
    const auto entries = CCarSettingsHistory::list(car());
    ASSERT_EQ(entries.size(), 4u);
    const double expected[] = {1.0, 1.1, 1.2, 1.3};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_DOUBLE_EQ(entries[i].info.setup.mainCorrection, expected[i]) << i;
    }
    EXPECT_EQ(fs::path(entries[1].path).filename(), "ID01-01-02-2024-090000_2.settings");
}

TEST_F(CarSettingsHistoryTest, UnreadableFileIsListedAndSkippedByTheComparison) {
    store(record(1.0), at(1, 9));
    std::ofstream(car() + "/ID01-02-02-2024.settings") << "short";
    store(record(1.5), at(3, 9));
    const auto entries = CCarSettingsHistory::list(car());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_FALSE(entries[1].readable);
    EXPECT_EQ(CSettingsCompare::text(entries[2].changes), "mainCorrection: 1 ms | 1.5 ms\n");
}

TEST_F(CarSettingsHistoryTest, FileThatCannotBeKeptIsNotReplaced) {
    store(record(1.0), at(1, 9));
    std::ofstream(car() + "/Historia") << "not a folder";
    const std::string file = car() + "/ID01-01-02-2024.settings";
    const std::string before = bytesOf(file);
    EXPECT_FALSE(CCarSettingsHistory::keepReplaced(file));
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_TRUE(CCarSettingsHistory::keepReplaced(car() + "/ID01-05-02-2024.settings"));
}

TEST_F(CarSettingsHistoryTest, SettingsStoreKeepsTheDaysEarlierFile) {
    CCarSettingsStore settingsStore(&prefs_, dir.folder());
    device_info_t info = record(1.0);
    info.notes = "pierwszy";
    ASSERT_TRUE(settingsStore.store(info));
    info.notes = "drugi";
    ASSERT_TRUE(settingsStore.store(info));
    const auto entries = CCarSettingsHistory::list(car());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].replaced);
    EXPECT_EQ(entries[0].info.notes, "pierwszy");
    EXPECT_EQ(entries[1].path, settingsStore.lastPath());
    EXPECT_EQ(entries[1].info.notes, "drugi");
}

// The file is put in place only by the commit; a prepared file that is dropped, or one
// that cannot be written, leaves the library and the last-car preference as they were.
// A history folder that cannot be made never blocks the day's file.
TEST_F(CarSettingsHistoryTest, APreparedFileLandsOnlyWhenCommitted) {
    CCarSettingsStore settingsStore(&prefs_, dir.folder());
    device_info_t info = record(1.0);
    info.notes = "pierwszy";
    ASSERT_TRUE(settingsStore.store(info));
    const std::string file = settingsStore.lastPath();
    info.notes = "niepotwierdzony";
    std::string problem;
    EXPECT_NE(settingsStore.prepare(info, problem), nullptr);  // dropped uncommitted
    device_info_t back;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(file, back));
    EXPECT_EQ(back.notes, "pierwszy");
    EXPECT_EQ(CCarSettingsHistory::list(car()).size(), 1u);

    fs::create_directory(file + ".tmp");  // the file cannot be written beside its place
    EXPECT_EQ(settingsStore.prepare(info, problem), nullptr);
    EXPECT_NE(problem.find(file), std::string::npos);
    EXPECT_EQ(CCarSettingsHistory::list(car()).size(), 1u);
    fs::remove(file + ".tmp");

    std::ofstream(car() + "/Historia") << "x";
    prefs_.setLastCarFile("");
    info.notes = "drugi";
    auto pending = settingsStore.prepare(info, problem);
    ASSERT_NE(pending, nullptr);
    const ICarSettingsStore::commit_t commit = pending->commit();
    EXPECT_TRUE(commit.filed);
    EXPECT_NE(commit.problem.find("Historia"), std::string::npos);
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(file, back));
    EXPECT_EQ(back.notes, "drugi");
    EXPECT_EQ(prefs_.lastCarFile(), file);
}

// A record equals itself even with values that are not finite, and such a value equals
// only the same one (an infinite tolerance must not swallow every other value).
TEST(SettingsCompareTest, ValuesThatAreNotFiniteCompareByThemselves) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double a, b;
        bool same;
    } cases[] = {{nan, nan, true},   {inf, inf, true},   {inf, 1200, false},
                 {-inf, inf, false}, {nan, 1200, false}, {1200, 1200.0000000001, true}};
    for (const auto& c : cases) {
        dev_setup_t a, b;
        a.switchSpeed = c.a;
        b.switchSpeed = c.b;
        EXPECT_EQ(CSettingsCompare::differences(a, b).empty(), c.same) << c.a << " " << c.b;
    }
}

}  // namespace

namespace {

// A write refused or never acknowledged leaves no empty folder of a new car behind.
TEST_F(CarSettingsHistoryTest, ADroppedFileOfANewCarLeavesNoFolder) {
    CCarSettingsStore settingsStore(&prefs_, dir.folder());
    std::string problem;
    EXPECT_NE(settingsStore.prepare(record(1.0), problem), nullptr);  // dropped uncommitted
    EXPECT_FALSE(fs::exists(car()));
    ASSERT_TRUE(settingsStore.store(record(1.0)));
    EXPECT_NE(settingsStore.prepare(record(2.0), problem), nullptr);
    EXPECT_TRUE(fs::exists(settingsStore.lastPath()));  // a car with files keeps its folder
}

}  // namespace
