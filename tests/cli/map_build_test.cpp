// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "link/device_info.h"
#include "temp_dir.h"

namespace {

using nlohmann::json;

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// 5 ms on gasoline and 5.5 ms on LPG at 2400 rpm and 40 kPa: +10 % in rows 10 and 11
// of the 2000-3000 rpm column.
std::string elevenOfEach(int period = 2000, int gasTicks = 200, int lpgTicks = 220) {
    const std::string rpm = std::to_string(period) + "\t" + std::to_string(period) + "\t";
    const std::string rest = "\t133\t133\t90\t185\t50\t60\t0\t51\r\n";
    std::string drive;
    for (int i = 0; i < 11; ++i) {
        drive += "1\t1\t2\t0\t" + rpm + std::to_string(gasTicks) + "\t0\t0\t200" + rest;
        drive += "2\t1\t3\t1\t" + rpm + std::to_string(lpgTicks) + "\t10\t0\t220" + rest;
    }
    return drive;
}

// The companion a run starts with, holding the controller's clock.
void writeCompanion(const std::string& recording, std::uint32_t hz) {
    device_info_t info;
    info.version = device_info_t::kVersion;
    info.clock[4] = hz;
    const auto image = info.toBytes();
    std::ofstream(recording + "-config", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
}

TEST(CliMapBuildTest, PrintsTheProposalAsMapReadPrintsAMap) {
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    std::ofstream(home + "/drive.lpgd", std::ios::binary) << elevenOfEach();
    writeCompanion(home + "/drive.lpgd", 40000);
    std::string expected;
    for (int row = 0; row < 50; ++row)
        expected +=
            row == 10 || row == 11 ? "0\t0\t10\t0\t0\t0\t0\t0\n" : "0\t0\t0\t0\t0\t0\t0\t0\n";
    const auto text = runCli({"map", "build", home + "/drive.lpgd"});
    EXPECT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out, expected);
    EXPECT_EQ(text.err, "");

    const json built = json::parse(runCli({"--json", "map", "build", home + "/drive.lpgd"}).out);
    EXPECT_EQ(built["rows"][10], json({0, 0, 10, 0, 0, 0, 0, 0}));
    EXPECT_EQ(built["gasolineSamples"][11][2], 11);
    EXPECT_EQ(built["lpgSamples"][10][2], 11);
    EXPECT_EQ(built["lpgSamples"][12][2], 0);
    EXPECT_EQ(built["samples"], 22);
    EXPECT_EQ(built["accepted"], 22);
}

// A 20 kHz controller's recording: 100 ticks are 5 ms and a period of 1000 ticks is
// 2400 rpm, where a 40 kHz reading would see 2.5 ms at 4800 rpm.
TEST(CliMapBuildTest, TheClockTravelsWithTheRecording) {
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const std::string drive = elevenOfEach(1000, 100, 110);
    std::ofstream(home + "/slow.lpgd", std::ios::binary) << drive;
    writeCompanion(home + "/slow.lpgd", 20000);
    std::ofstream(home + "/bare.lpgd", std::ios::binary) << drive;

    const auto fromCompanion = runCli({"--json", "map", "build", home + "/slow.lpgd"});
    EXPECT_EQ(fromCompanion.err, "");
    const auto given =
        runCli({"--json", "map", "build", home + "/bare.lpgd", "--clock-hz", "20000"});
    EXPECT_EQ(given.err, "");
    EXPECT_EQ(fromCompanion.out, given.out);
    EXPECT_EQ(json::parse(given.out)["rows"][10][2], 10);

    const auto unknown = runCli({"--json", "map", "build", home + "/bare.lpgd"});
    EXPECT_EQ(unknown.code, 0);
    EXPECT_NE(unknown.out, given.out);  // read as 40 kHz
    EXPECT_EQ(unknown.err.rfind("Nie wiadomo, z jakim zegarem sterownika nagrano ten plik; mapę "
                                "policzono dla 40000 Hz.",
                                0),
              0u)
        << unknown.err;
}

TEST(CliMapBuildTest, FillSaysWhichCellsItFilled) {
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    // +10 % at 2400 rpm and at 4000 rpm: the 3000-4000 column between them is filled.
    std::ofstream(home + "/two.lpgd", std::ios::binary) << elevenOfEach() << elevenOfEach(1200);
    writeCompanion(home + "/two.lpgd", 40000);
    const auto filled = runCli({"--json", "map", "build", home + "/two.lpgd", "--fill"});
    ASSERT_EQ(filled.code, 0);
    EXPECT_EQ(filled.err,
              "Uzupełniono komórek między wartościami: 2\n"
              "wiersz 11 (5.0-5.5 ms), 3000-4000 obr/min\n"
              "wiersz 12 (5.5-6.0 ms), 3000-4000 obr/min\n");
    const json built = json::parse(filled.out);
    EXPECT_EQ(built["rows"][10], json({0, 0, 10, 10, 10, 0, 0, 0}));
    EXPECT_EQ(built["filled"][11], json({false, false, false, true, false, false, false, false}));
}

TEST(CliMapBuildTest, FilesWithoutAProposalSayWhy) {
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    auto missing = runCli({"map", "build", home + "/none.lpgd"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_EQ(missing.err, "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" + home +
                               "/none.lpgd: plik nie istnieje\n");
    std::ofstream(home + "/text.lpgd") << "not a recording\n";
    EXPECT_EQ(runCli({"map", "build", home + "/text.lpgd"}).code, 3);

    // A readable start followed by something else: the proposal of the start, and a warning.
    std::ofstream(home + "/cut.lpgd", std::ios::binary) << elevenOfEach() << "x\r\n1\r\n";
    writeCompanion(home + "/cut.lpgd", 40000);
    auto cut = runCli({"--json", "map", "build", home + "/cut.lpgd"});
    EXPECT_EQ(cut.code, 0);
    EXPECT_EQ(json::parse(cut.out)["rows"][11][2], 10);
    EXPECT_NE(cut.err.find(home + "/cut.lpgd: od wiersza 23 nieodczytanych wierszy: 2"),
              std::string::npos)
        << cut.err;
}

TEST(CliMapBuildTest, ADriveRecordedFromTheSimulatorBuildsAMapThatCanBeWritten) {
    CSimProcess sim({"--no-pacing", "--profile", "drive"});
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const std::string file = home + "/drive.lpgd";
    auto recorded = runCli({"--port", sim.path(), "record", file, "--samples", "12000"});
    ASSERT_EQ(recorded.code, 0) << recorded.err;

    auto result = runCli({"--json", "map", "build", file});
    ASSERT_EQ(result.code, 0) << result.err;
    const json built = json::parse(result.out);
    const std::string content = contentsOf(file);
    EXPECT_EQ(built["samples"], std::count(content.begin(), content.end(), '\n'));
    EXPECT_GT(built["accepted"].get<long>(), 0);
    ASSERT_EQ(built["rows"].size(), 50u);
    int values = 0;
    for (const json& row : built["rows"]) {
        ASSERT_EQ(row.size(), 8u);
        for (int percent : row)
            values += percent != 0;
    }
    // The simulated car computer lengthens its pulses on LPG by what the main correction
    // lacks, so the drive gives corrections.
    EXPECT_GT(values, 0);

    std::ofstream(home + "/proposal.json") << result.out;
    auto written =
        runCli({"--port", sim.path(), "--unlocked", "map", "write", home + "/proposal.json"});
    ASSERT_EQ(written.code, 0) << written.err;
    const json read = json::parse(runCli({"--json", "--port", sim.path(), "map", "read"}).out);
    EXPECT_EQ(read["rows"], built["rows"]);
}

}  // namespace
