// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "temp_dir.h"

namespace {

using nlohmann::json;

struct coverage_line_t {
    int valued = -1, half = -1;
    long samples = -1;
};

std::vector<coverage_line_t> coverageLines(const std::string& err) {
    std::vector<coverage_line_t> lines;
    std::istringstream in(err);
    for (std::string text; std::getline(in, text);) {
        coverage_line_t l;
        if (std::sscanf(text.c_str(),
                        "coverage: %d of 400 cells with a value, %d half covered (%ld samples)",
                        &l.valued, &l.half, &l.samples) == 3)
            lines.push_back(l);
    }
    return lines;
}

// Half covered as the map build's own counts say: no value yet, and each group holds at
// least half (6) of the 11 samples a value needs.
int halfCovered(const json& built) {
    int half = 0;
    for (int r = 0; r < 50; ++r) {
        for (int c = 0; c < 8; ++c) {
            const long gas = std::min(built["gasolineSamples"][r][c].get<long>(), 11L);
            const long lpg = std::min(built["lpgSamples"][r][c].get<long>(), 11L);
            half += built["rows"][r][c] == 0 && gas >= 6 && lpg >= 6 && (gas < 11 || lpg < 11);
        }
    }
    return half;
}

TEST(CliRecordCoverageTest, TheLastLineMatchesTheBuildOfTheRecording) {
    CSimProcess sim({"--no-pacing", "--profile", "drive"});
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const std::string file = home + "/drive.lpgd";
    auto recorded =
        runCli({"--json", "--port", sim.path(), "record", file, "--seconds", "2.5", "--coverage"});
    ASSERT_EQ(recorded.code, 0) << recorded.err;
    const std::vector<coverage_line_t> lines = coverageLines(recorded.err);
    // About one a second, and a closing line.
    ASSERT_GE(lines.size(), 3u) << recorded.err;
    EXPECT_LE(lines.size(), 4u) << recorded.err;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_GE(lines[i].samples, lines[i - 1].samples);
        EXPECT_GE(lines[i].valued, lines[i - 1].valued);
    }

    auto result = runCli({"--json", "map", "build", file});
    ASSERT_EQ(result.code, 0) << result.err;
    const json built = json::parse(result.out);
    const coverage_line_t& last = lines.back();
    EXPECT_EQ(last.samples, json::parse(recorded.out)["samples"].get<long>());
    EXPECT_EQ(last.samples, built["samples"].get<long>());
    int nonZero = 0;
    for (const json& row : built["rows"])
        for (int percent : row)
            nonZero += percent != 0;
    // A value that rounds to 0 % counts as a value but shows as 0 in the rows.
    EXPECT_GE(last.valued, nonZero);
    EXPECT_GT(last.valued, 0);
    if (last.valued == nonZero)
        EXPECT_EQ(last.half, halfCovered(built));

    // Without the switch nothing of it is printed.
    auto plain = runCli({"--port", sim.path(), "record", file, "--samples", "200"});
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_TRUE(coverageLines(plain.err).empty()) << plain.err;
}

}  // namespace
