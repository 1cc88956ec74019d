// SPDX-License-Identifier: GPL-3.0-or-later
// vapron-cli autocal against vapron-sim on a pseudo-terminal.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "temp_dir.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

const std::string kSeparator(82, '-');

// Runs the tool with its standard input read from `input` (empty: at its end at once).
cli_result_t runWithInput(const std::vector<std::string>& arguments, const std::string& home,
                          const std::string& input) {
    const std::string file = home + "/stdin";
    std::ofstream(file, std::ios::binary) << input;
    const int saved = ::dup(STDIN_FILENO);
    const int in = ::open(file.c_str(), O_RDONLY);
    ::dup2(in, STDIN_FILENO);
    ::close(in);
    cli_result_t result = runCli(arguments, home);
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
    return result;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The whole command on a sound line: report, log, filed settings and the settings snapshots
// beside the recording. The line is not paced: the run counts samples, not time, so pacing
// only stretches it (to about 20 seconds), and the tool's paced reading is the recording
// test's (CliSimTest). What is left is the 500 ms pause after each of the ten mode switches.
TEST(AutocalTest, ConvergesAgainstTheSimulatorAndFilesTheResult) {
    CSimProcess sim({"--no-pacing", "--needed-correction", "1.35"});
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const auto result = runCli({"--json", "--port", sim.path(), "--car",
                                "Opel|Astra|1.6|100|2004|4|Zawadzki", "autocal", "--yes"},
                               home);
    ASSERT_EQ(result.code, 0) << result.err;
    const json report = json::parse(result.out);
    EXPECT_TRUE(report["succeeded"].get<bool>());
    const auto steps = report["stepCorrections"].get<std::vector<double>>();
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_NEAR(steps[0], 0.35, 0.025 + 1e-9);
    EXPECT_FALSE(report["acceptedCorrections"].empty());
    EXPECT_TRUE(report["constantCorrection"].is_number());
    EXPECT_NEAR(report["mainCorrection"].get<double>(), 1.35, 0.025 + 1e-9);
    EXPECT_GT(report["reducerPressure"].get<double>(), 60.0);

    const auto log = report["log"].get<std::vector<std::string>>();
    ASSERT_EQ(log.size(), 3u + 5 * 7 + 6);
    EXPECT_EQ(log[0], kSeparator);
    EXPECT_EQ(log[1].rfind("Czas rozpoczęcia: ", 0), 0u);
    EXPECT_EQ(log[2], "Start");
    EXPECT_EQ(log[log.size() - 3], "Koniec ustawiania");
    // The same lines went to standard error as they came, around the answered question.
    std::vector<std::string> err = linesOf(result.err);
    err.erase(std::remove(err.begin(), err.end(), "Ustal wolne obroty: OK (--yes)"), err.end());
    EXPECT_EQ(err, log);

    std::string filed;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        if (entry.path().extension() == ".settings" &&
            entry.path().parent_path().filename() != "Historia") {
            filed = entry.path().string();
        }
    }
    ASSERT_FALSE(filed.empty());
    // The day's file holds what the controller holds after the run's last write.
    EXPECT_EQ(runCli({"--port", sim.path(), "settings", "diff", "controller", filed}, home).code,
              0);
    EXPECT_TRUE(fs::exists(home + "/Dane/Diagnostyka.lpgd-config"));
    // The record the run started with, then one for each settings write.
    EXPECT_EQ(fs::file_size(home + "/Dane/Diagnostyka.lpgd-config"), 3u * 1200);
}

// Refusals end with exit 1 and the ending line; car information and options are checked
// before anything else.
TEST(AutocalTest, RefusedRunsAndBadCommandLinesHaveTheirExitCodes) {
    CSimProcess sim({"--no-pacing"});
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const std::vector<std::string> base{"--json", "--port", sim.path(), "--unlocked", "autocal"};

    for (const char* answer : {"", "n\n"}) {
        const auto refused = runWithInput(base, home, answer);
        EXPECT_EQ(refused.code, 1) << refused.err;
        const json report = json::parse(refused.out);
        EXPECT_FALSE(report["succeeded"].get<bool>());
        EXPECT_TRUE(report["stepCorrections"].empty());
        EXPECT_TRUE(report["constantCorrection"].is_null());
        EXPECT_TRUE(report["mainCorrection"].is_null());  // never read from the controller
        EXPECT_TRUE(report["reducerPressure"].is_null());
        const auto log = report["log"].get<std::vector<std::string>>();
        ASSERT_EQ(log.size(), 4u);
        EXPECT_EQ(log.back(), "Koniec");
        EXPECT_NE(refused.err.find("Ustal wolne obroty\nEnter = OK, n = Anuluj: "),
                  std::string::npos);
    }

    auto rejected = runCli(
        {"--json", "--port", sim.path(), "--unlocked", "autocal", "--yes", "--tolerance", "0"},
        home);
    EXPECT_EQ(rejected.code, 1) << rejected.err;
    EXPECT_NE(rejected.err.find("Wszystkie wartości średnie zostały odrzucone"), std::string::npos);
    EXPECT_EQ(json::parse(rejected.out)["stepCorrections"].size(), 5u);

    auto noCar = runCli({"--port", sim.path(), "autocal", "--yes"}, home);
    EXPECT_EQ(noCar.code, 2);
    EXPECT_EQ(
        noCar.err.rfind("Musisz podać dane dotyczące samochodu i zamontowanej instalacji\n", 0),
        0u);
    EXPECT_EQ(runCli({"--port", sim.path(), "--unlocked", "autocal", "--tolerance", "x"}).code, 2);
    EXPECT_EQ(runCli({"--port", "/dev/vapron-no-such-device", "--unlocked", "autocal"}).code, 3);
}

// The engine lacks 8 ms: step 1 writes the 4.0 ms limit and the end finds 8 ms, which
// the record cannot hold. The report gives what the controller acknowledged, read back.
TEST(AutocalTest, AResultTheRecordCannotHoldIsNotWritten) {
    CSimProcess sim({"--no-pacing", "--needed-correction", "8"});
    const CTempDir home;
    const auto result =
        runCli({"--json", "--port", sim.path(), "--unlocked", "autocal", "--yes"}, home.root());
    EXPECT_EQ(result.code, 1) << result.err;
    const json report = json::parse(result.out);
    EXPECT_FALSE(report["succeeded"].get<bool>());
    EXPECT_DOUBLE_EQ(report["mainCorrection"].get<double>(), 4.0);
    // The engine's times wander by a tick or two, so the result is about 8 ms.
    EXPECT_TRUE(
        std::regex_search(result.err, std::regex(R"(\((7,9\d\d|8,0\d\d) ms\) leży poza zakresem)")))
        << result.err;
}

}  // namespace
