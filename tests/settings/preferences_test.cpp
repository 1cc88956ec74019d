// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "settings/file_preferences.h"
#include "settings/program_folders.h"
#include "temp_dir.h"

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class FilePreferencesTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;
};

TEST_F(FilePreferencesTest, LastCarFileSurvivesANewObject) {
    const std::string file = dir.folder() + "vapron.ini";
    EXPECT_EQ(CFilePreferences(file).lastCarFile(), "");
    CFilePreferences(file).setLastCarFile("/a/Opel-Astra-1.6/ID-01-02-2024.settings");
    EXPECT_EQ(CFilePreferences(file).lastCarFile(), "/a/Opel-Astra-1.6/ID-01-02-2024.settings");
    EXPECT_EQ(contentsOf(file), "Last car file=/a/Opel-Astra-1.6/ID-01-02-2024.settings\n");
    EXPECT_EQ(CFilePreferences(file).csvForSpreadsheet(), std::nullopt);
    CFilePreferences(file).setCsvForSpreadsheet(true);
    EXPECT_EQ(CFilePreferences(file).csvForSpreadsheet(), true);
    EXPECT_EQ(CFilePreferences(file).lastCarFile(), "/a/Opel-Astra-1.6/ID-01-02-2024.settings");
}

TEST_F(FilePreferencesTest, OtherKeysAndOddCharactersAreKept) {
    const std::string file = dir.folder() + "vapron.ini";
    std::ofstream(file, std::ios::binary) << "Port pattern=/dev/ttyUSB%d\n";
    CFilePreferences prefs(file);
    prefs.setLastCarFile("/x\\y\nz");
    EXPECT_EQ(prefs.lastCarFile(), "/x\\y\nz");
    EXPECT_EQ(contentsOf(file), "Last car file=/x\\\\y\\nz\nPort pattern=/dev/ttyUSB%d\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.folder()), {}), 1);
}

class ProgramFoldersTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;

    void SetUp() override {
        for (const char* name : {"VAPRON_HOME", "XDG_DATA_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(ProgramFoldersTest, VapronHomeComesFirst) {
    setenv("VAPRON_HOME", (dir.folder() + "home").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir.folder() + "xdg").c_str(), 1);
    EXPECT_EQ(CProgramFolders::dataFolder(), dir.folder() + "home/Dane/");
    EXPECT_EQ(CProgramFolders::carSettingsRoot(), dir.folder() + "home/Ustawienia/v4.5/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.folder() + "home/Ustawienia/v4.5"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.folder() + "home/Dane"));
    EXPECT_FALSE(std::filesystem::exists(dir.folder() + "xdg"));
}

TEST_F(ProgramFoldersTest, DataHomeThenHome) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps the program folder in the user's local application data";
#endif
    unsetenv("VAPRON_HOME");
    setenv("XDG_DATA_HOME", (dir.folder() + "xdg").c_str(), 1);
    EXPECT_EQ(CProgramFolders::programFolder(), dir.folder() + "xdg/Vapron/");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", (dir.folder() + "user").c_str(), 1);
    EXPECT_EQ(CProgramFolders::carSettingsRoot(),
              dir.folder() + "user/.local/share/Vapron/Ustawienia/v4.5/");
    EXPECT_TRUE(
        std::filesystem::is_directory(dir.folder() + "user/.local/share/Vapron/Ustawienia/v4.5"));
}

}  // namespace
