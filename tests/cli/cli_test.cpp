// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "corrections/inj_map_cells.h"
#include "link/device_info.h"
#include "settings/car_info.h"
#include "temp_dir.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
  protected:
    cli_result_t cli(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--port", sim.path()});
        return runCli(arguments, home);
    }
    json cliJson(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "--json");
        const auto result = cli(arguments);
        EXPECT_EQ(result.code, 0) << result.err;
        return json::parse(result.out);
    }

    CSimProcess sim;
    CTempDir homeFolder;
    std::string home = homeFolder.root();
};

TEST_F(CliTest, InfoNamesTheControllerAndItsTiming) {
    const json info = cliJson({"info"});
    EXPECT_EQ(info["version"], 4);
    EXPECT_EQ(info["id"], "SIM0000000000001");
    EXPECT_EQ(info["clock"].size(), 5u);
    EXPECT_EQ(info["clock"][4], 40000);
    EXPECT_DOUBLE_EQ(info["timeUnitMs"].get<double>(), 0.025);
    EXPECT_DOUBLE_EQ(info["speedConstant"].get<double>(), 4800000.0);
    EXPECT_EQ(info["programmed"].get<std::string>().size(), 10u);
}

TEST_F(CliTest, SettingsAreChangedOnlyWhenTheyPassTheCheck) {
    json settings = cliJson({"settings", "get"});
    EXPECT_EQ(settings["switchRpm"], 1200.0);
    EXPECT_EQ(settings["functionFlags"], 0x13);
    EXPECT_EQ(settings["injectorMasks"], json({1, 2, 4, 8, 16, 32, 64, 128}));

    auto refused = cli({"--unlocked", "settings", "set", "switchRpm=50", "rpmThresholdVoltage=5"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.err,
              "Błędna wartość prędkości przełączenia na LPG\n"
              "Błędna wartość napięcia progowego dla sygnału obrotów\n");
    EXPECT_EQ(cliJson({"settings", "get"})["switchRpm"], 1200.0);

    auto noCar = cli({"settings", "set", "mainCorrection=1.5"});
    EXPECT_EQ(noCar.code, 2);
    EXPECT_NE(noCar.err.find("Aby wpisać ustawienia musisz podać dane"), std::string::npos);

    auto written = cli({"--unlocked", "settings", "set", "mainCorrection=1.5"});
    EXPECT_EQ(written.code, 0) << written.err;
    EXPECT_EQ(cliJson({"settings", "get"})["mainCorrection"], 1.5);

    EXPECT_EQ(cli({"--unlocked", "settings", "set", "timeAveraging=300"}).code, 2);
    EXPECT_EQ(cli({"--unlocked", "settings", "set", "noSuchField=1"}).code, 2);
}

TEST_F(CliTest, CarInformationFilesTheSetupInTheLibrary) {
    auto written =
        cli({"--car", "Škoda|Fabia|1.4|75|2004|2.0|", "settings", "set", "mainCorrection=1.2"});
    ASSERT_EQ(written.code, 0) << written.err;
    const fs::path folder = fs::path(home) / "Ustawienia" / "v4.5" / "Škoda-Fabia-1.4";
    ASSERT_TRUE(fs::is_directory(folder));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().extension(), ".settings");
        EXPECT_EQ(fs::file_size(entry.path()), 1200u);
        EXPECT_EQ(entry.path().filename().string().rfind("SIM0000000000001-", 0), 0u);
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(cli({"--car", "a|b", "info"}).code, 2);
}

// A controller that refuses settings writes: exit 1, and the car library gains nothing.
TEST(CliSimTest, ARefusedSettingsWriteIsNotFiled) {
    CSimProcess sim({"--no-pacing", "--refuse-writes", "setup"});
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const auto result =
        runCli({"--json", "--port", sim.path(), "--car", "Opel|Astra|1.6|75|2004|2.0|", "settings",
                "set", "mainCorrection=1.2"},
               home);
    EXPECT_EQ(result.code, 1) << result.err;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        EXPECT_NE(entry.path().extension(), ".settings") << entry.path();
    }
}

TEST_F(CliTest, EepromBackupAndRestoreCheckTheFile) {
    const std::string image = home + "/image.eeprom";
    ASSERT_EQ(cli({"eeprom", "read", image}).code, 0);
    ASSERT_EQ(fs::file_size(image), 512u);

    const std::string shortImage = home + "/short.eeprom";
    std::ofstream(shortImage, std::ios::binary) << std::string(511, 'x');
    auto refused = cli({"eeprom", "write", shortImage});
    EXPECT_EQ(refused.code, 3);
    EXPECT_EQ(refused.err,
              "Niepoprawny format pliku EEPROM!\n" + shortImage + ": plik jest za krótki\n");

    const std::string longImage = home + "/long.eeprom";
    std::ofstream(longImage, std::ios::binary) << std::string(512, '\x07') << "tail";
    EXPECT_EQ(cli({"eeprom", "write", longImage}).code, 0);
    ASSERT_EQ(cli({"eeprom", "read", image}).code, 0);
    std::ifstream in(image, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, std::string(512, '\x07'));
}

// Map and table writes switch their function on (unless --keep-functions), keep the
// EEPROM bytes after the map's check word, and report what the controller stored.
TEST_F(CliTest, MapTableAndFuelSensorRoundTrip) {
    const std::string image = home + "/tail.eeprom";
    // An empty map (every cell 100, check word 40000) with six marked bytes behind it.
    std::ofstream(image, std::ios::binary)
        << std::string(104, '\0') << std::string(400, 'd') << "\x9C\x40\xAB\xAB\xAB\xAB\xAB\xAB";
    ASSERT_EQ(cli({"eeprom", "write", image}).code, 0);
    json map = cliJson({"map", "read"});
    ASSERT_EQ(map["rows"].size(), 50u);
    map["rows"][3][2] = 12;
    map["rows"][49][7] = -200;  // limited to -100
    const std::string file = home + "/map.json";
    std::ofstream(file) << map.dump();
    EXPECT_EQ(cli({"map", "write", file}).code, 2);  // no car: nothing sent
    EXPECT_EQ(cliJson({"map", "read"})["rows"][3][2], 0);
    ASSERT_EQ(cli({"--unlocked", "map", "write", file}).code, 0);
    map = cliJson({"map", "read"});
    EXPECT_EQ(map["rows"][3][2], 12);
    EXPECT_EQ(map["rows"][49][7], -100);
    EXPECT_EQ(cliJson({"settings", "get"})["functionFlags"], 0x13 | 0x40);
    ASSERT_EQ(cli({"eeprom", "read", image}).code, 0);
    std::ifstream in(image, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(506), "\xAB\xAB\xAB\xAB\xAB\xAB");

    std::string values = "55.9,-0.5";
    for (int i = 2; i < 25; ++i)
        values += ",-10";
    const json stored = cliJson({"--unlocked", "table", "write", values});
    EXPECT_EQ(stored["values"][0], 56.0);  // whole percent, halves away from zero
    EXPECT_EQ(stored["values"][1], -1.0);
    EXPECT_EQ(cliJson({"table", "read"})["values"], stored["values"]);
    EXPECT_EQ(cliJson({"settings", "get"})["functionFlags"], 0x13 | 0x40 | 0x04);
    EXPECT_EQ(cli({"table", "write", "1,2,3"}).code, 2);
    EXPECT_EQ(cli({"table", "write", "--keep-functions", values}).code, 0);

    json fuel = cliJson({"fuel", "read"});
    EXPECT_EQ(fuel["thresholds"], json({42, 130, 170, 225}));
    auto refused = cli({"fuel", "write", "42,130,130,225"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.err,
              "Nieprawidłowe wartości.\nPowinny być wprowadzone w porządku rosnącym lub "
              "malejącym.\n");
    ASSERT_EQ(cli({"fuel", "write", "225,170,130,42"}).code, 0);
    EXPECT_EQ(cliJson({"fuel", "read"})["thresholds"], json({225, 170, 130, 42}));
}

TEST_F(CliTest, ModesSequenceAndErrors) {
    EXPECT_EQ(cli({"mode", "lpg"}).code, 0);
    EXPECT_EQ(cli({"mode", "auto"}).code, 0);
    EXPECT_EQ(cli({"mode", "diesel"}).code, 2);
    const json sequence = cliJson({"sequence"});
    ASSERT_EQ(sequence["entries"].size(), 8u);
    EXPECT_EQ(sequence["entries"][0]["position"], 1);
    EXPECT_EQ(sequence["entries"][0]["timeMs"], 0.0);
    EXPECT_TRUE(sequence["staggered"].get<bool>());
    const json errors = cliJson({"errors"});
    EXPECT_EQ(errors["report"], "0000000000000000000000");
    EXPECT_EQ(errors["text"], "Brak błędów.");
}

TEST(CliSimTest, StoredErrorsAreDecodedAndCleared) {
    CSimProcess sim({"--no-pacing", "--errors", "0003000005000000000081"});
    auto errors = runCli({"--port", sim.path(), "errors"});
    ASSERT_EQ(errors.code, 0);
    EXPECT_NE(errors.out.find(" Moduł: Wtryskiwacze, kod błędu: \r\n\tERROR_INJECTOR1 "),
              std::string::npos);
    EXPECT_NE(errors.out.find("Nieznany kod błędu = 0x80"), std::string::npos);
    EXPECT_EQ(runCli({"--port", sim.path(), "errors", "--clear"}).code, 0);
    EXPECT_EQ(runCli({"--port", sim.path(), "errors"}).out, "Brak błędów.\n");
}

TEST(CliSimTest, SilentControllerAndMissingPortHaveTheirExitCodes) {
    CSimProcess silent({"--no-pacing", "--drop", "1"});
    auto result = runCli({"--port", silent.path(), "info"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "Nie można nawiązać komunikacji z urządzeniem LPG\n");

    result = runCli({"--port", "/dev/vapron-no-such-device", "info"});
    EXPECT_EQ(result.code, 3);
    EXPECT_NE(result.err.find("CSerialPort::open(1) /dev/vapron-no-such-device: ENOENT"),
              std::string::npos);
}

TEST(CliSimTest, RecordingMatchesItsReportAndInspectReadsItBack) {
    CSimProcess sim({"--profile", "drive"});
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const std::string file = home + "/run.lpgd";
    auto recorded = runCli({"--json", "--port", sim.path(), "record", file, "--seconds", "2"});
    ASSERT_EQ(recorded.code, 0) << recorded.err;
    const json report = json::parse(recorded.out);
    std::ifstream in(file, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto lines = std::count(content.begin(), content.end(), '\n');
    EXPECT_EQ(lines, report["samples"].get<long>());
    EXPECT_GT(report["exchanges"].get<long>(), 60);  // about 53 a second on the paced line
    EXPECT_TRUE(fs::exists(file + "-config"));

    const json inspected = json::parse(runCli({"--json", "inspect", file}).out);
    EXPECT_EQ(inspected["samples"], report["samples"]);
    EXPECT_EQ(inspected["firstIndex"], 1);
    EXPECT_EQ(inspected["unreadLines"], 0);
}

TEST(CliOfflineTest, DecodeErrorsAndInspectNeedNoController) {
    auto decoded = runCli({"decode-errors", "0000000000C00000000000"});
    EXPECT_EQ(decoded.code, 0);
    EXPECT_EQ(decoded.out,
              " Moduł: Czujniki, kod błędu: \r\n\tNieznany kod błędu = 0x40 \r\n\tNieznany kod "
              "błędu = 0x80 \r\n\n");
    EXPECT_EQ(runCli({"decode-errors", "00zz"}).code, 2);
    EXPECT_EQ(runCli({"inspect", "/nonexistent.lpgd"}).code, 3);

    const CTempDir homeFolder;

    const std::string home = homeFolder.root();
    std::ofstream(home + "/cut.lpgd", std::ios::binary)
        << "1\t1\t2\t0\t4000\t4000\t120\t0\t0\t120\t133\t133\t90\t85\t50\t60\t0\t80\r\n"
        << "2\t1\t3\t1\t4000\t4000\t120\t10\t0\t120\t133\t133\t90\t85\t50\t60\t0\t80\r\n"
        << "3\t1\t3\tx\r\n";
    const json inspected = json::parse(runCli({"--json", "inspect", home + "/cut.lpgd"}).out);
    EXPECT_EQ(inspected["samples"], 2);
    EXPECT_EQ(inspected["lastIndex"], 2);
    EXPECT_EQ(inspected["lpgSamples"], 1);
    EXPECT_EQ(inspected["unreadLines"], 1);
}

TEST(CliOfflineTest, HelpForTheToolAndEveryCommand) {
    auto help = runCli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Polecenia:"), std::string::npos);
    for (const char* command : {"info", "settings", "errors", "mode", "eeprom", "map", "table",
                                "fuel", "sequence", "record", "inspect", "decode-errors"}) {
        auto result = runCli({command, "--help"});
        EXPECT_EQ(result.code, 0) << command;
        EXPECT_FALSE(result.out.empty()) << command;
    }
    EXPECT_EQ(runCli({}).code, 2);
    EXPECT_EQ(runCli({"frobnicate"}).code, 2);
}

}  // namespace

namespace {

// The day's car file holds what the controller stores, so it never differs from the
// controller after a write; the JSON says whether the write was filed, and why not.
TEST_F(CliTest, TheFiledSettingsAreTheControllersAndTheFlagsSayWhatHappened) {
    const auto written =
        cli({"--json", "--car", "X|Y|1.6|90|2004|2.0|", "settings", "set", "emulatorDelay=2.7",
             "mainCorrection=1.01", "pressureSlope=0.15", "minSupplyVoltage=11.04"});
    ASSERT_EQ(written.code, 0) << written.err;
    const json flags = json::parse(written.out);
    EXPECT_EQ(flags["written"], true);
    EXPECT_EQ(flags["filed"], true);
    EXPECT_DOUBLE_EQ(flags["emulatorDelay"].get<double>(), 2.5);
    const fs::path folder = fs::path(home) / "Ustawienia" / "v4.5" / "X-Y-1.6";
    ASSERT_TRUE(fs::is_directory(folder));
    std::string file;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".settings") {
            file = entry.path().string();
        }
    }
    const auto diff = cli({"settings", "diff", "controller", file});
    EXPECT_EQ(diff.code, 0) << diff.out;

    // Under the service unlock with no car nothing is filed, and that is no failure.
    const auto unlocked = cli({"--json", "--unlocked", "settings", "set", "mainCorrection=1.2"});
    EXPECT_EQ(unlocked.code, 0) << unlocked.err;
    const json unfiled = json::parse(unlocked.out);
    EXPECT_EQ(unfiled["written"], true);
    EXPECT_EQ(unfiled["filed"], false);
    EXPECT_NE(unfiled["notFiled"].get<std::string>().find("nie podano danych samochodu"),
              std::string::npos);
}

}  // namespace

namespace {

// A map or table write whose car file cannot be prepared sends nothing: the settings
// that would switch it on could not follow, and the controller keeps what it held. Once
// the file can be written, the file's table is the one the controller stores.
TEST_F(CliTest, MapAndTableWritesSendNothingWhenTheCarFileCannotBePrepared) {
    const std::string car = "X|Y|1.6|90|2004|2.0|";
    const fs::path folder = fs::path(home) / "Ustawienia" / "v4.5" / "X-Y-1.6";
    fs::create_directories(folder.parent_path());
    std::ofstream(folder) << "a file where the car's folder belongs";
    std::string map;
    for (int r = 0; r < 50; ++r) {
        map += "7\t0\t0\t0\t0\t0\t0\t0\n";
    }
    const std::string mapFile = home + "/map.txt";
    std::ofstream(mapFile) << map;
    const std::string mapBefore = cli({"map", "read"}).out;
    const std::string tableBefore = cli({"table", "read"}).out;
    const struct {
        std::vector<std::string> command;
        std::vector<std::string> read;
        std::string before;
    } writes[] = {
        {{"--car", car, "map", "write", mapFile}, {"map", "read"}, mapBefore},
        {{"--car", car, "table", "write", "5,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"},
         {"table", "read"},
         tableBefore},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.command[2]);
        EXPECT_EQ(cli(w.command).code, 3);
        EXPECT_EQ(cli(w.read).out, w.before);
    }

    fs::remove(folder);
    const auto dayFile = [&] {
        std::string file;
        for (const auto& entry : fs::directory_iterator(folder)) {
            file = entry.path().extension() == ".settings" ? entry.path().string() : file;
        }
        return file;
    };
    ASSERT_EQ(cli(writes[1].command).code, 0);
    EXPECT_EQ(cli({"settings", "diff", "controller", dayFile()}).code, 0);
    const json table = cliJson({"table", "read"});
    EXPECT_EQ(table["values"][0], 5);
    device_info_t filed;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(dayFile(), filed));
    EXPECT_DOUBLE_EQ(filed.timeTable[0], 5);

    // The map write, and an EEPROM restore that brings back older settings and table: the
    // day's file holds what the controller holds after each.
    const std::string image = home + "/backup.eeprom";
    ASSERT_EQ(cli({"eeprom", "read", image}).code, 0);
    const std::vector<std::vector<std::string>> later = {
        writes[0].command,
        {"--car", car, "settings", "set", "mainCorrection=2.5"},
        {"--car", car, "eeprom", "write", image},
    };
    for (const auto& command : later) {
        SCOPED_TRACE(command[2]);
        const auto result = cli(command);
        ASSERT_EQ(result.code, 0) << result.err;
        const auto diff = cli({"settings", "diff", "controller", dayFile()});
        EXPECT_EQ(diff.code, 0) << diff.out;
    }
}

}  // namespace

namespace {

// Typed map and table values follow one rule, the map editor's: whole percent, halves
// away from zero; the table bit follows what is stored.
TEST_F(CliTest, TypedCellsAreRoundedAsTheMapEditorRoundsThem) {
    const struct {
        const char* typed;
        int stored;
    } cells[] = {{"12.5", 13}, {"-12.5", -13}, {"0.4", 0}, {"0.5", 1}, {"160", 150}};
    std::string map;
    for (int r = 0; r < 50; ++r) {
        for (int c = 0; c < 8; ++c) {
            map += std::string(c ? "\t" : "") + (r == 0 && c < 5 ? cells[c].typed : "0");
        }
        map += '\n';
    }
    const std::string mapFile = home + "/map.txt";
    std::ofstream(mapFile) << map;
    ASSERT_EQ(cli({"--unlocked", "map", "write", mapFile}).code, 0);
    const json read = cliJson({"map", "read"});
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(read["rows"][0][c], cells[c].stored) << cells[c].typed;
        EXPECT_EQ(injmap::proposalPercent(std::stod(cells[c].typed)), cells[c].stored);
    }

    ASSERT_EQ(
        cli({"--unlocked", "table", "write", "0.4,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"})
            .code,
        0);
    EXPECT_EQ(cliJson({"settings", "get"})["functionFlags"].get<int>() & 0x04, 0);
    ASSERT_EQ(
        cli({"--unlocked", "table", "write", "0.5,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"})
            .code,
        0);
    EXPECT_EQ(cliJson({"table", "read"})["values"][0], 1);
    EXPECT_NE(cliJson({"settings", "get"})["functionFlags"].get<int>() & 0x04, 0);
}

}  // namespace
