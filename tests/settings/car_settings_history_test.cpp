#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/car_settings_history.h"
#include "settings/car_settings_store.h"
#include "settings/memory_preferences.h"
#include "settings_test_folder.h"

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

class CarSettingsHistoryTest : public SettingsTestFolder {
  protected:
    // A store as the program files it, at `when` by the file's own time.
    std::string store(const device_info_t& info, std::time_t when) {
        const std::string file = CCarInfo::carSettingsPath(path(), info, when);
        EXPECT_TRUE(CCarSettingsHistory::keepReplaced(file));
        EXPECT_TRUE(CCarInfo::storeCarSettingsFile(file, info, &prefs_));
        const timespec times[2] = {{when, 0}, {when, 0}};
        EXPECT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        return file;
    }

    std::string car() const { return path() + "Opel-Astra-1.6"; }

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
        {"/ID01-01-02-2024.settings", "01-02-2024", "mainCorrection: 1 ms | 1.5 ms\n", false},
        {"/ID01-02-02-2024.settings", "02-02-2024", "switchRpm: 1200 rev/min | 1500 rev/min\n",
         false},
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
    EXPECT_EQ(CCarInfo(&prefs_, path()).listSettingsFiles("Opel", "Astra", "1.6"),
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
    CCarSettingsStore settingsStore(&prefs_, path());
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
    // Blocked history: the store fails and the day's file stays as it was.
    fs::remove_all(car() + "/Historia");
    std::ofstream(car() + "/Historia") << "x";
    info.notes = "trzeci";
    EXPECT_FALSE(settingsStore.store(info));
    device_info_t back;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(settingsStore.lastPath(), back));
    EXPECT_EQ(back.notes, "drugi");
}

}  // namespace
