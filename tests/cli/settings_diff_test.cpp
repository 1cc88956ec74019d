// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "link/device_info.h"
#include "settings/car_info.h"
#include "temp_dir.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> imageOf(const device_info_t& info) {
    const auto image = info.toBytes();
    return {image.begin(), image.end()};
}

// A record of another controller and car, as a settings file or snapshot holds it.
device_info_t record(double mainCorrection = 1.0) {
    device_info_t info;
    info.version = 4;
    info.id = "OTHERCONTROLLER1";
    info.make = "Fiat";
    info.model = "Punto";
    info.capacity = "1.2";
    info.clock = {7, 7, 7, 7, 7};
    info.notes = "z pliku";
    info.setup.mainCorrection = mainCorrection;
    return info;
}

class SettingsFilesTest : public ::testing::Test {
  protected:
    SettingsFilesTest() {
        writeBytes(plain, imageOf(record()));
        device_info_t changed = record(1.5);
        changed.setup.switchSpeed = 1500;
        changed.setup.lpgMasks = {2, 1, 4, 8, 16, 32, 64, 128};
        writeBytes(changedFile, imageOf(changed));
        // Two snapshots, then bytes of a record cut short.
        auto companion = imageOf(record());
        const auto second = imageOf(changed);
        companion.insert(companion.end(), second.begin(), second.end());
        companion.insert(companion.end(), 100, 0x04);
        writeBytes(dir + "/run.lpgd-config", companion);
        auto shortFile = imageOf(record());
        shortFile.resize(1100);
        writeBytes(dir + "/short.settings", shortFile);
        device_info_t old = record();
        old.version = 3;
        writeBytes(dir + "/old.settings", imageOf(old));
    }

    CTempDir dirFolder;

    std::string dir = dirFolder.root();
    std::string plain = dir + "/plain.settings";
    std::string changedFile = dir + "/changed.settings";
};

TEST_F(SettingsFilesTest, DiffComparesFilesAndSnapshotsWithoutAController) {
    const std::string changedText =
        "switchRpm: 1200 rev/min | 1500 rev/min\n"
        "mainCorrection: 1 ms | 1.5 ms\n"
        "injectorMasks: 1 2 4 8 16 32 64 128 | 2 1 4 8 16 32 64 128\n";
    const struct {
        std::vector<std::string> sources;
        int code;
        std::string out, err;
    } cases[] = {
        {{plain, plain}, 0, "", ""},
        {{plain, changedFile}, 4, changedText, ""},
        {{dir + "/run.lpgd-config#1", plain}, 0, "", ""},
        {{dir + "/run.lpgd#2", changedFile}, 0, "", ""},
        {{dir + "/run.lpgd-config#3", plain},
         3,
         "",
         "Podaj numer zapisu ustawień od 1 do 2.\n" + dir +
             "/run.lpgd-config: brak zapisu nr 3 (zapisów: 2)\n"},
        {{plain, dir + "/run.lpgd-config#0"},
         2,
         "",
         "Podaj po znaku # numer zapisu ustawień od 1 do 10000.\n" + dir +
             "/run.lpgd-config#0: numer zapisu 0\n"},
        {{plain, dir + "/run.lpgd-config"},
         2,
         "",
         "Podaj po znaku # numer zapisu ustawień, np. " + dir + "/run.lpgd-config#1.\n" + dir +
             "/run.lpgd-config: brak numeru zapisu\n"},
        {{plain, dir + "/none.settings"},
         3,
         "",
         "Nie można wczytać ustawień z pliku\n" + dir + "/none.settings: plik nie istnieje\n"},
        {{dir + "/short.settings", plain},
         3,
         "",
         "Nie można wczytać ustawień z pliku\n" + dir + "/short.settings: plik jest za krótki\n"},
        {{plain, dir + "/old.settings"},
         3,
         "",
         "Nie można użyć pliku, ponieważ został utworzony inną wersją aplikacji.\n" + dir +
             "/old.settings: wersja rekordu 3, obsługiwana 4\n"},
    };
    for (const auto& c : cases) {
        // The port does not exist: none of these may try it.
        std::vector<std::string> args{"--port", "/dev/vapron-no-such-device", "settings", "diff"};
        args.insert(args.end(), c.sources.begin(), c.sources.end());
        const auto result = runCli(args);
        EXPECT_EQ(result.code, c.code) << c.sources[0] << ' ' << c.sources[1] << result.err;
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
    }

    const auto asJson = runCli({"--json", "settings", "diff", plain, changedFile});
    EXPECT_EQ(asJson.code, 4);
    EXPECT_EQ(json::parse(asJson.out), json::parse(R"({"differences": [
                  {"field": "switchRpm", "a": 1200.0, "b": 1500.0},
                  {"field": "mainCorrection", "a": 1.0, "b": 1.5},
                  {"field": "injectorMasks", "a": [1, 2, 4, 8, 16, 32, 64, 128],
                   "b": [2, 1, 4, 8, 16, 32, 64, 128]}]})"));
    EXPECT_EQ(json::parse(runCli({"--json", "settings", "diff", plain, plain}).out),
              json::parse(R"({"differences": []})"));
    EXPECT_EQ(runCli({"settings", "diff", plain}).code, 2);
}

TEST_F(SettingsFilesTest, LoadWritesTheFilesSettingsAndKeepsTheControllersOwn) {
    CSimProcess sim;
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", sim.path()});
        return runCli(args, home);
    };
    EXPECT_EQ(cli({"settings", "diff", "controller", plain}).code, 0);
    EXPECT_EQ(cli({"settings", "diff", changedFile, "controller"}).out,
              "switchRpm: 1500 rev/min | 1200 rev/min\n"
              "mainCorrection: 1.5 ms | 1 ms\n"
              "injectorMasks: 2 1 4 8 16 32 64 128 | 1 2 4 8 16 32 64 128\n");

    // Refused before anything is written: no car named, a value out of range, a bad file.
    device_info_t bad = record();
    bad.setup.switchSpeed = 50;
    writeBytes(dir + "/bad.settings", imageOf(bad));
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } refused[] = {
        {{"settings", "load", changedFile},
         2,
         "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej "
         "instalacji: --car \"MARKA|MODEL|POJEMNOŚĆ\" albo --unlocked\n"},
        {{"--unlocked", "settings", "load", dir + "/bad.settings"},
         2,
         "Błędna wartość prędkości przełączenia na LPG\n"},
        {{"--unlocked", "settings", "load", dir + "/old.settings"},
         3,
         "Nie można użyć pliku, ponieważ został utworzony inną wersją aplikacji.\n" + dir +
             "/old.settings: wersja rekordu 3, obsługiwana 4\n"},
        {{"--unlocked", "settings", "load", dir + "/short.settings"},
         3,
         "Nie można wczytać ustawień z pliku\n" + dir + "/short.settings: plik jest za krótki\n"},
    };
    for (const auto& c : refused) {
        const auto result = cli(c.args);
        EXPECT_EQ(result.code, c.code) << c.args.back();
        EXPECT_EQ(result.err, c.err);
    }
    EXPECT_EQ(cli({"settings", "diff", "controller", plain}).code, 0);

    // The file's settings reach the controller; the stored record keeps the controller's
    // identity and clock and the car named on the command line, and takes the notes.
    const auto loaded =
        cli({"--car", "Opel|Astra|1.6|101|2003|2.0|", "settings", "load", changedFile});
    ASSERT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_NE(loaded.out.find("mainCorrection: 1.5 ms\n"), std::string::npos) << loaded.out;
    const auto same = cli({"settings", "diff", "controller", changedFile});
    EXPECT_EQ(same.code, 0) << same.out;
    EXPECT_EQ(same.out, "");

    const fs::path folder = fs::path(home) / "Ustawienia" / "v4.5" / "Opel-Astra-1.6";
    ASSERT_TRUE(fs::is_directory(folder));
    const fs::path stored = fs::directory_iterator(folder)->path();
    device_info_t filed;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(stored.string(), filed));
    EXPECT_EQ(filed.id, "SIM0000000000001");
    EXPECT_EQ(filed.make, "Opel");
    EXPECT_EQ(filed.notes, "z pliku");
    EXPECT_NE(filed.clock, record().clock);
    EXPECT_EQ(filed.setup.mainCorrection, 1.5);
    EXPECT_EQ(filed.setup.switchSpeed, 1500);
}

// A new injection type needs a controller restart, asked for as the settings editor does:
// with the request that clears the stored errors.
TEST_F(SettingsFilesTest, LoadRestartsTheControllerOnlyForANewInjectionType) {
    CSimProcess sim({"--no-pacing", "--errors", "0003000005000000000081"});
    device_info_t halfSequential = record();
    halfSequential.setup.injType = dev_setup_t::INJ_HALF_SEQ;
    writeBytes(dir + "/half.settings", imageOf(halfSequential));
    auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", sim.path(), "--unlocked"});
        return runCli(args);
    };
    ASSERT_EQ(cli({"settings", "load", plain}).code, 0);
    EXPECT_NE(cli({"errors"}).out, "Brak błędów.\n");
    const auto loaded = cli({"settings", "load", dir + "/half.settings"});
    ASSERT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_NE(loaded.out.find("injectionType: 2\n"), std::string::npos);
    EXPECT_EQ(cli({"errors"}).out, "Brak błędów.\n");
}

}  // namespace
