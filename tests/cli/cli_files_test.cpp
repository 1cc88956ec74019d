// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's input and output files: limits, FIFOs and pipes, files that are not what
// they should be, and what it says when the controller does not confirm a write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "../support/temp_fifo.h"
#include "cli_fixture.h"
#include "temp_dir.h"
#include "unconfirming_controller.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// 50 lines of 8 numbers, as `map read` prints them, with one row changed.
std::string mapText(int changedRow = -1, const std::string& changed = "") {
    std::string text;
    for (int r = 0; r < 50; ++r) {
        text += r == changedRow ? changed : "1\t2\t3\t4\t5\t6\t7\t8";
        text += '\n';
    }
    return text;
}

class CliFilesTest : public ::testing::Test {
  protected:
    cli_result_t cli(std::vector<std::string> arguments, cli_run_t run = {}) {
        arguments.insert(arguments.begin(), {"--port", sim.path()});
        run.home = home;
        return runCli(arguments, run);
    }
    json mapRows() {
        const auto read = cli({"--json", "map", "read"});
        EXPECT_EQ(read.code, 0) << read.err;
        return json::parse(read.out)["rows"];
    }
    std::string file(const std::string& name, const std::string& bytes) {
        const std::string path = home + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    CSimProcess sim;
    CTempDir homeFolder;
    std::string home = homeFolder.root();
};

TEST_F(CliFilesTest, AMapFileWithAnyRowNotOfEightNumbersIsRefusedAndNothingWritten) {
    const json before = mapRows();
    std::string nineAndSeven = mapText();
    nineAndSeven.replace(nineAndSeven.find('\n'), 1, "\t9\n");      // row 1: 9 numbers
    nineAndSeven.replace(nineAndSeven.find("\t8\n", 20), 3, "\n");  // row 2: 7 numbers
    json jsonRows = json::array();
    for (int r = 0; r < 50; ++r)
        jsonRows.push_back(json::array({1, 2, 3, 4, 5, 6, 7, 8}));
    json jsonNine = jsonRows, jsonText = jsonRows, jsonShort = jsonRows;
    jsonNine[3].push_back(9);
    jsonText[3][2] = "5";
    jsonShort.erase(jsonShort.begin());

    struct row_t {
        std::string contents;
        std::string problem;
    };
    const row_t rows[] = {
        {nineAndSeven, "wiersz 1: liczba wartości 9 zamiast 8"},
        {mapText(6, "1\t2\tx\t4\t5\t6\t7\t8"), "wiersz 7, wartość 3 nie jest liczbą: x"},
        {mapText(49, "1 2 3 4 5 6 7 8\n1 2 3 4 5 6 7 8"), "wiersz 51 jest ponad 50 wierszy mapy"},
        {json{{"rows", jsonNine}}.dump(), "wiersz 4: liczba wartości 9 zamiast 8"},
        {json{{"rows", jsonText}}.dump(), "wiersz 4, wartość 3 nie jest liczbą: \"5\""},
        {jsonShort.dump(), "liczba wierszy: 49 zamiast 50"},
    };
    for (const row_t& row : rows) {
        const std::string path = file("map.txt", row.contents);
        const auto result = cli({"map", "write", path});
        EXPECT_EQ(result.code, 3) << row.problem;
        EXPECT_EQ(result.err,
                  "Popraw plik mapy: potrzeba 50 wierszy po 8 liczb; nic nie zostało "
                  "wpisane.\n" +
                      path + ": " + row.problem + "\n");
    }
    EXPECT_EQ(mapRows(), before);

    // What `map read` prints is taken back as it is.
    ASSERT_EQ(
        cli({"--unlocked", "map", "write", file("map.txt", mapText(3, "-5 0 0 0 0 0 0 150"))}).code,
        0);
    EXPECT_EQ(mapRows()[3], json({-5, 0, 0, 0, 0, 0, 0, 150}));
    EXPECT_EQ(mapRows()[4], json({1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(CliFilesTest, InputFilesAreReadWithASizeLimit) {
    const std::string huge = file("huge.map", "");
    fs::resize_file(huge, std::uintmax_t{1} << 30);  // sparse: no disk used
    auto result = cli({"map", "write", huge});
    EXPECT_EQ(result.code, 3);
    EXPECT_EQ(result.err,
              "Nie można odczytać pliku mapy: wskaż plik zapisany przez \"map read\".\n" + huge +
                  ": plik jest za duży\n");

    fs::create_directory(home + "/folder");
    result = cli({"map", "write", home + "/folder"});
    EXPECT_EQ(result.code, 3);
    EXPECT_TRUE(contains(result.err, "to nie jest zwykły plik")) << result.err;
}

TEST_F(CliFilesTest, AnEepromImageComesFromAFifoOrAPipeReadOnceBeforeThePortIsOpened) {
    CTempFifo fifo(home + "/image.fifo");
    auto writer = fifo.feed(std::string(512, '\x21'));
    cli_run_t run;
    run.timeoutSeconds = 20;
    const auto fromFifo = cli({"eeprom", "write", fifo.path()}, run);
    writer->finish();
    EXPECT_EQ(fromFifo.code, 0) << fromFifo.err;
    const std::string back = home + "/back.eeprom";
    ASSERT_EQ(cli({"eeprom", "read", back}).code, 0);
    EXPECT_EQ(contentsOf(back), std::string(512, '\x21'));

    run.input = std::string(512, '\x42') + "tail";
    const auto fromPipe = cli({"eeprom", "write", "/dev/stdin"}, run);
    EXPECT_EQ(fromPipe.code, 0) << fromPipe.err;
    ASSERT_EQ(cli({"eeprom", "read", back}).code, 0);
    EXPECT_EQ(contentsOf(back), std::string(512, '\x42'));

    run.input = std::string(100, '\x42');
    const auto shortPipe = cli({"eeprom", "write", "/dev/stdin"}, run);
    EXPECT_EQ(shortPipe.code, 3);
    EXPECT_EQ(shortPipe.err, "Niepoprawny format pliku EEPROM!\n/dev/stdin: plik jest za krótki\n");
}

TEST_F(CliFilesTest, ARecordingThatCannotBeWrittenCountsOnlyTheLinesInTheFile) {
    const std::string recording = home + "/run.lpgd";
    cli_run_t run;
    run.fileSizeLimit = 4096;  // about 70 lines, then the disk is "full"
    const auto full = cli({"--json", "record", recording, "--samples", "1000"}, run);
    EXPECT_EQ(full.code, 3);
    EXPECT_TRUE(contains(full.err, "Nie można zapisać danych diagnostycznych do pliku\n" +
                                       recording + ": błąd systemu: "))
        << full.err;
    const std::string content = contentsOf(recording);
    const auto lines = std::count(content.begin(), content.end(), '\n');
    EXPECT_GT(lines, 10);
    EXPECT_EQ(json::parse(full.out)["samples"].get<long>(), lines);

    // Nothing is created beside a path that cannot take a recording.
    fs::create_directory(home + "/folder");
    CTempFifo fifo(home + "/fifo.lpgd");
    run = {};
    run.timeoutSeconds = 20;
    for (const std::string& path : {home + "/folder", fifo.path()}) {
        const auto refused = cli({"--json", "record", path, "--samples", "5"}, run);
        EXPECT_EQ(refused.code, 3) << path;
        EXPECT_EQ(refused.err, "Nie można otworzyć pliku do zapisu danych diagnostycznych\n" +
                                   path +
                                   ": to nie jest zwykły plik (folder, potok FIFO lub "
                                   "urządzenie)\n");
        EXPECT_EQ(json::parse(refused.out)["samples"], 0);
        EXPECT_FALSE(fs::exists(path + "-config")) << path;
    }
}

TEST_F(CliFilesTest, SettingsPrintedAfterAWriteAreTheControllersOwn) {
    // 1.06 ms is not a whole number of 0.025 ms ticks: the controller keeps 1.05 ms.
    const auto written = cli({"--json", "--unlocked", "settings", "set", "mainCorrection=1.06"});
    ASSERT_EQ(written.code, 0) << written.err;
    EXPECT_DOUBLE_EQ(json::parse(written.out)["mainCorrection"].get<double>(), 1.05);
}

TEST(CliControllerTest, AnUnconfirmedSettingsWriteIsReportedWithWhatTheControllerHolds) {
    CUnconfirmingController controller;
    const auto result = runCli(
        {"--json", "--port", controller.path(), "--unlocked", "settings", "set", "switchRpm=1500"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err,
              "Sterownik nie potwierdził zapisu ustawień: mógł je przyjąć albo nie. Sprawdź "
              "wartości odczytane ze sterownika i w razie potrzeby powtórz zapis.\n"
              "brak potwierdzenia po wysłaniu rekordu ustawień\n");
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(json::parse(result.out)["switchRpm"], 1500.0);  // it took the record
}

TEST(CliControllerTest, TextsFromTheControllerArePrintedInUtf8) {
    CSimProcess sim({"--no-pacing", "--id",
                     "\xA3\xD3"
                     "D\x8F"
                     "000000000001"});
    const auto asJson = runCli({"--json", "--port", sim.path(), "info"});
    ASSERT_EQ(asJson.code, 0) << asJson.err;
    EXPECT_EQ(json::parse(asJson.out)["id"], "ŁÓDŹ000000000001");
    const auto text = runCli({"--port", sim.path(), "info"});
    EXPECT_TRUE(contains(text.out, "\nidentyfikator: ŁÓDŹ000000000001\n")) << text.out;
}

TEST(CliInspectTest, OnlyARecordingIsSummarised) {
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    fs::create_directory(home + "/folder");
    std::ofstream(home + "/random.bin", std::ios::binary)
        << std::string("\x7f\x45LF\x02\x01", 6) << "\nnot\ta recording\n";
    std::ofstream(home + "/empty.lpgd", std::ios::binary);
    CTempFifo fifo(home + "/fifo.lpgd");
    cli_run_t run;
    run.timeoutSeconds = 20;

    struct row_t {
        std::string file;
        int code;
        std::string err;
    };
    const std::string notRegular =
        ": to nie jest zwykły plik (folder, potok FIFO lub urządzenie)\n";
    const row_t rows[] = {
        {"folder", 3,
         "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" + home + "/folder" +
             notRegular},
        {"fifo.lpgd", 3,
         "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" + home + "/fifo.lpgd" +
             notRegular},
        {"random.bin", 3,
         "Wskaż nagranie diagnostyczne (.lpgd): w tym pliku nie ma ani jednej "
         "próbki.\n" +
             home + "/random.bin: 2 nieodczytanych wierszy od wiersza 1\n"},
        {"empty.lpgd", 3,
         "Wskaż nagranie diagnostyczne (.lpgd): w tym pliku nie ma ani jednej próbki.\n" + home +
             "/empty.lpgd: plik jest pusty\n"},
    };
    for (const row_t& row : rows) {
        const auto result = runCli({"inspect", home + "/" + row.file}, run);
        EXPECT_EQ(result.code, row.code) << row.file;
        EXPECT_EQ(result.err, row.err) << row.file;
    }
}

}  // namespace

// "legacy --json" prints one JSON object, the copy's outcome in it, as every command
// that takes --json does.
TEST(CliLegacyTest, TheOldFoldersAreOneJsonObject) {
    CTempDir wine, home;
    const std::filesystem::path old =
        std::filesystem::path(wine.folder()) / "drive_c/Program Files/Vapron/Dane";
    std::filesystem::create_directories(old);
    std::ofstream(old / "jazda.lpgd") << "1\t2\r\n";
    ::setenv("WINEPREFIX", wine.folder().c_str(), 1);
    for (const bool copy : {false, true}) {
        std::vector<std::string> arguments{"legacy", "--json"};
        if (copy) {
            arguments.emplace_back("--copy");
        }
        const cli_result_t result = runCli(arguments, home.folder());
        ASSERT_EQ(result.code, 0) << result.err;
        const nlohmann::json report = nlohmann::json::parse(result.out);
        ASSERT_EQ(report["legacyFolders"].size(), 1u);
        EXPECT_EQ(report["legacyFolders"][0]["recordings"], 1);
        EXPECT_EQ(report["legacyFolders"][0].contains("copied"), copy);
        if (copy) {
            EXPECT_EQ(report["legacyFolders"][0]["copied"], 1);
        }
    }
    ::unsetenv("WINEPREFIX");
}

// One exit code for one kind of failure, whichever command meets it: a file that is
// missing, empty, a folder or no recording is 3 for every command that reads one, and a
// port that is not a terminal is 3 too (a port problem, not a silent controller).
TEST(CliExitTableTest, TheSameFileProblemGivesTheSameCodeFromEveryCommand) {
    CTempDir dir;
    const std::string empty = dir.path("pusty.lpgd"), text = dir.path("tekst.lpgd");
    std::ofstream(empty).flush();
    std::ofstream(text) << "to nie jest nagranie\n";
    const std::string files[] = {dir.path("brak.lpgd"), empty, text, dir.folder()};
    for (const std::string& file : files) {
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"inspect"}, {"map", "build"}, {"export"}}) {
            std::vector<std::string> arguments = command;
            arguments.push_back(file);
            EXPECT_EQ(runCli(arguments).code, 3) << command[0] << " " << file;
        }
    }
    EXPECT_EQ(runCli({"--port", text, "info"}).code, 3);
}
