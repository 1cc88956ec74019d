// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/legacy_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/utf8_path.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

class LegacyFoldersTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;

    // Through UTF-8 paths, as the program names its files on every system.
    void put(const std::string& file, const std::string& bytes) {
        fs::create_directories(utf8Path(dir.folder() + file).parent_path());
        std::ofstream(utf8Path(dir.folder() + file), std::ios::binary) << bytes;
    }
    std::string read(const std::string& file) {
        std::ifstream in(utf8Path(dir.folder() + file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(LegacyFoldersTest, OldFilesAreCopiedWithoutReplacingAnyAndTheOldFolderStays) {
    put("old/Dane/jazda.lpgd", "old drive");
    put("old/Dane/stara.eeprom", "eeprom");
    put("old/Ustawienia/v4.5/Škoda/Fabia/1.4.settings", "skoda");
    put("old/Inne/pominięty.txt", "not ours");
    put("new/Dane/jazda.lpgd", "newer drive");
    fs::create_directories(dir.folder() + "empty/Dane");

    const auto found =
        CLegacyFolders::find({dir.folder() + "empty", dir.folder() + "old", dir.folder() + "none"});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].folder, dir.folder() + "old");
    EXPECT_EQ(found[0].recordings, 2u);
    EXPECT_EQ(found[0].settings, 1u);

    const auto result = CLegacyFolders::copyInto(dir.folder() + "old", dir.folder() + "new/");
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.copied, 2u);
    EXPECT_EQ(result.kept, 1u);
    EXPECT_EQ(read("new/Dane/jazda.lpgd"), "newer drive");
    EXPECT_EQ(read("new/Dane/stara.eeprom"), "eeprom");
    EXPECT_EQ(read("new/Ustawienia/v4.5/Škoda/Fabia/1.4.settings"), "skoda");
    EXPECT_FALSE(fs::exists(utf8Path(dir.folder() + "new/Inne")));
    EXPECT_EQ(read("old/Dane/jazda.lpgd"), "old drive");
    // A second copy finds everything in place.
    EXPECT_EQ(CLegacyFolders::copyInto(dir.folder() + "old", dir.folder() + "new/").kept, 3u);
}

}  // namespace
