// SPDX-License-Identifier: GPL-3.0-or-later
// The settings files (EEPROM image, car settings, preferences) are read through the
// bounded, non-blocking reader: a FIFO or folder in their place is refused at once and
// left as it is, and a file that cannot be read is never replaced with less.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "../support/temp_fifo.h"
#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/eeprom_image.h"
#include "settings/file_preferences.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
class SettingsFilesTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;
};

TEST_F(SettingsFilesTest, AFifoInAFilesPlaceIsRefusedAtOnceAndLeftAlone) {
    CTempFifo fifo(dir.folder() + "fifo");
    CEepromImage::bytes_t image{};
    device_info_t info;
    std::string detail;

    struct row_t {
        const char* name;
        std::function<bool()> refused;
    };
    const row_t rows[] = {
        {"eeprom read",
         [&] {
             return CEepromImage::read(fifo.path(), image, CFileIo::Source::RegularFile, &detail) ==
                    CEepromImage::Result::CannotOpen;
         }},
        {"eeprom write",
         [&] {
             return CEepromImage::write(fifo.path(), image) == CEepromImage::Result::CannotOpen;
         }},
        {"car settings read", [&] { return !CCarInfo::readCarSettingsFile(fifo.path(), info); }},
        {"car settings store",
         [&] { return !CCarInfo::storeCarSettingsFile(fifo.path(), info, nullptr); }},
        {"preferences", [&] { return CFilePreferences(fifo.path()).lastCarFile().empty(); }},
    };
    for (const row_t& row : rows) {
        bool refused = false;
        EXPECT_TRUE(fifo.returnsAtOnce([&] { refused = row.refused(); })) << row.name;
        EXPECT_TRUE(refused) << row.name;
    }
    EXPECT_EQ(detail, "to nie jest zwykły plik (folder, potok FIFO lub urządzenie)");
    EXPECT_TRUE(fs::is_fifo(fifo.path()));
}

TEST_F(SettingsFilesTest, AnEepromImageMayComeFromAStreamWhenTheCallerSaysSo) {
    CTempFifo fifo(dir.folder() + "image.fifo");
    auto writer = fifo.feed(std::string(512, '\x5A') + "ignored");
    CEepromImage::bytes_t image{};
    EXPECT_EQ(CEepromImage::read(fifo.path(), image, CFileIo::Source::FileOrStream),
              CEepromImage::Result::Ok);
    writer->finish();
    EXPECT_EQ(image[0], 0x5A);
    EXPECT_EQ(image[511], 0x5A);

    std::ofstream(dir.folder() + "short.eeprom", std::ios::binary) << std::string(511, 'x');
    std::string detail;
    EXPECT_EQ(CEepromImage::read(dir.folder() + "short.eeprom", image, CFileIo::Source::RegularFile,
                                 &detail),
              CEepromImage::Result::BadFormat);
    EXPECT_EQ(detail, "plik jest za krótki");
}

TEST_F(SettingsFilesTest, PreferencesThatCannotBeReadAreNotReplaced) {
    // Larger than any preferences file of ours: not read, so not rewritten without its
    // other lines either.
    const std::string file = dir.folder() + "vapron.ini";
    std::ofstream(file, std::ios::binary) << "Port pattern=/dev/ttyS%d\n";
    fs::resize_file(file, 2 << 20);
    CFilePreferences prefs(file);
    prefs.setLastCarFile("/a/b.settings");
    EXPECT_EQ(fs::file_size(file), 2u << 20);
    std::string head(25, '\0');
    std::ifstream(file, std::ios::binary).read(head.data(), 25);
    EXPECT_EQ(head, "Port pattern=/dev/ttyS%d\n");
    EXPECT_EQ(prefs.lastCarFile(), "");
}

}  // namespace
