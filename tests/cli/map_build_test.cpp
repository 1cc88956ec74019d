#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace {

using nlohmann::json;

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// 5 ms on gasoline and 5.5 ms on LPG at 2400 rpm and 40 kPa: +10 % in rows 10 and 11
// of the 2000-3000 rpm column.
std::string elevenOfEach() {
    std::string drive;
    for (int i = 0; i < 11; ++i) {
        drive += "1\t1\t2\t0\t2000\t2000\t200\t0\t0\t200\t133\t133\t90\t185\t50\t60\t0\t51\r\n";
        drive += "2\t1\t3\t1\t2000\t2000\t220\t10\t0\t220\t133\t133\t90\t185\t50\t60\t0\t51\r\n";
    }
    return drive;
}

TEST(CliMapBuildTest, PrintsTheProposalAsMapReadPrintsAMap) {
    const std::string home = makeTempDir();
    std::ofstream(home + "/drive.lpgd", std::ios::binary) << elevenOfEach();
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

TEST(CliMapBuildTest, FilesWithoutAProposalSayWhy) {
    const std::string home = makeTempDir();
    auto missing = runCli({"map", "build", home + "/none.lpgd"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_EQ(missing.err, "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" + home +
                               "/none.lpgd: plik nie istnieje\n");
    std::ofstream(home + "/text.lpgd") << "not a recording\n";
    EXPECT_EQ(runCli({"map", "build", home + "/text.lpgd"}).code, 2);

    // A readable start followed by something else: the proposal of the start, and a warning.
    std::ofstream(home + "/cut.lpgd", std::ios::binary) << elevenOfEach() << "x\r\n1\r\n";
    auto cut = runCli({"--json", "map", "build", home + "/cut.lpgd"});
    EXPECT_EQ(cut.code, 0);
    EXPECT_EQ(json::parse(cut.out)["rows"][11][2], 10);
    EXPECT_NE(cut.err.find(home + "/cut.lpgd: od wiersza 23 nieodczytanych wierszy: 2"),
              std::string::npos)
        << cut.err;
}

TEST(CliMapBuildTest, ADriveRecordedFromTheSimulatorBuildsAMapThatCanBeWritten) {
    CSimProcess sim({"--no-pacing", "--profile", "drive"});
    const std::string home = makeTempDir();
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
