// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as users and scripts meet it: versions, global options in either
// place, Polish parse errors with their exit codes, and a wire trace that the simulator
// replays to the same answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "temp_dir.h"

namespace {

TEST(CliGrammarTest, TheProgramsTellTheirVersion) {
    EXPECT_EQ(runCli({"--version"}).out, "vapron-cli " VAPRON_VERSION "\n");
    EXPECT_EQ(runCli({"info", "--version"}).code, 0);
}

TEST(CliGrammarTest, GlobalOptionsMayFollowTheCommand) {
    CSimProcess sim;
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const cli_result_t info = runCli({"info", "--json", "--port", sim.path()}, home);
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(nlohmann::json::parse(info.out)["version"], 4);
    EXPECT_EQ(runCli({"settings", "get", "--port", sim.path(), "--json"}, home).code, 0);
}

TEST(CliGrammarTest, ABadCommandLineIsToldInPolishWithCodeTwo) {
    const struct {
        std::vector<std::string> arguments;
        std::string firstLine;
    } rows[] = {
        {{"frobnicate"}, "vapron-cli: nieznane polecenie: frobnicate"},
        {{"--json", "settings", "frob"}, "vapron-cli: nieznane polecenie: settings frob"},
        {{}, "vapron-cli: podaj polecenie (lista: vapron-cli --help)"},
        {{"inspect"}, "vapron-cli: brak wymaganego argumentu albo opcji:"},
        {{"record", "a.lpgd", "--injector", "9"},
         "vapron-cli: niedozwolona wartość; dozwolone podaje pomoc polecenia (--help):"},
        {{"info", "--bogus"}, "vapron-cli: nieoczekiwane argumenty albo nieznane opcje:"},
        {{"record", "a.lpgd", "--samples", "1", "--seconds", "1"},
         "vapron-cli: tych opcji nie można podać razem: --samples, --seconds"},
        {{"--simulate", "--com", "3", "info"},
         "vapron-cli: tych opcji nie można podać razem: --com, --simulate"},
        {{"export", "a.lpgd", "--separator", ",", "--decimal", ","},
         "Wybierz separator , ; | albo tab i inny znak dziesiętny (. albo ,)."},
    };
    for (const auto& row : rows) {
        const cli_result_t result = runCli(row.arguments);
        EXPECT_EQ(result.code, 2) << row.firstLine;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), row.firstLine);
    }
    // The missing argument is named as the help names it, in Polish.
    EXPECT_NE(runCli({"inspect"}).err.find("\nPLIK\n"), std::string::npos);
    const std::string help = runCli({"--help"}).out;
    EXPECT_NE(help.find("  4  settings diff: porównane ustawienia się różnią"), std::string::npos);
    // Every command lists every global option, --simulate too.
    EXPECT_NE(runCli({"table", "write", "--help"})
                  .out.find("--port ŚCIEŻKA, --com N, --json, --unlocked, --simulate, "
                            "--no-pacing, --car TEKST, --trace PLIK."),
              std::string::npos);
}

// Refusals of what was typed speak Polish, and say what to type instead.
TEST(CliGrammarTest, RefusedValuesAreToldInPolish) {
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } rows[] = {
        {{"decode-errors", "12"}, "Podaj raport błędów jako 22 cyfry szesnastkowe (11 bajtów)."},
        {{"decode-errors", "0000000000000000000zzz"}, "To nie jest cyfra szesnastkowa"},
        {{"--simulate", "settings", "set", "foo=1"}, "nieznane pole: foo"},
        {{"--simulate", "settings", "set", "mainCorrection"}, "podaj POLE=WARTOŚĆ"},
        {{"--simulate", "settings", "set", "mainCorrection=x"}, "to nie jest liczba"},
        {{"--simulate", "settings", "set", "ignitionPulses=300"}, "wartość poza zakresem pola"},
        {{"--simulate", "table", "write", "1,2"}, "Podaj tablicę jako 25 liczb"},
        {{"--simulate", "fuel", "write", "1,2"}, "Podaj progi czujnika"},
        {{"--simulate", "--car", "a|b", "settings", "set", "mainCorrection=1"},
         "--car: podaj siedem tekstów"},
    };
    for (const auto& row : rows) {
        const cli_result_t result = runCli(row.arguments);
        EXPECT_EQ(result.code, 2) << row.message;
        EXPECT_NE(result.err.find(row.message), std::string::npos) << result.err;
    }
}

TEST(CliGrammarTest, ATraceOfInfoReplayedByTheSimulatorGivesTheSameOutput) {
    CTempDir dir;
    const CTempDir homeFolder;
    const std::string home = homeFolder.root();
    const std::string trace = dir.path("info.trace");
    cli_result_t traced;
    {
        CSimProcess sim({"--no-pacing", "--id", "ID00000000000042"});
        traced = runCli({"--port", sim.path(), "info", "--trace", trace}, home);
        ASSERT_EQ(traced.code, 0) << traced.err;
    }
    EXPECT_NE(CTempDir::readBytes(trace).find(" > 4 12 AA 55 06 04 09 "), std::string::npos);
    CSimProcess replay({"--no-pacing", "--replay", trace});
    const cli_result_t replayed = runCli({"--port", replay.path(), "info"}, home);
    EXPECT_EQ(replayed.code, 0) << replayed.err;
    EXPECT_EQ(replayed.out, traced.out);
    EXPECT_NE(traced.out.find("ID00000000000042"), std::string::npos);
}

}  // namespace

// The simulated controller of `--simulate` answers at the line's pace, so five seconds of a
// demo recording hold what a real controller gives in five seconds; --no-pacing (the
// tests) lets it run as fast as it can.
TEST(CliSimulateTest, ADemoRecordingKeepsTheLinesPace) {
    const CTempDir dir;
    std::size_t lines[2] = {};
    for (const bool paced : {true, false}) {
        cli_run_t run;
        run.pacing = paced;
        const std::string file = dir.path(paced ? "paced.lpgd" : "fast.lpgd");
        ASSERT_EQ(runCli({"--simulate", "record", file, "--seconds", "1"}, run).code, 0);
        std::ifstream in(file);
        lines[paced ? 0 : 1] =
            static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
    }
    EXPECT_GT(lines[0], 10u);
    EXPECT_LT(lines[0], 400u);  // 38 400 baud allows some tens of samples a second
    EXPECT_GT(lines[1], 10 * lines[0]);
}
