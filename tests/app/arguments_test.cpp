// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/vapron_app.h"

namespace {

CVapron::Options parsed(std::vector<std::string> words) {
    words.insert(words.begin(), "vapron");
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    return CVapron::parseArguments(static_cast<int>(argv.size()), argv.data());
}

// Our options and Qt's own are taken; anything else is refused before a window opens.
TEST(ArgumentsTest, UnknownOptionsAreRefusedAndQtsOwnAccepted) {
    const struct {
        std::vector<std::string> words;
        std::string problem;
    } rows[] = {
        {{"--simulate", "-platform", "offscreen", "--style=Fusion", "-reverse"}, ""},
        {{"-display", ":1", "--trace", "ślad.txt", "--version"}, ""},
        {{"--bogus"}, "nieznana opcja lub brak jej wartości: --bogus"},
        {{"--port"}, "nieznana opcja lub brak jej wartości: --port"},
        {{"-style"}, "nieznana opcja lub brak jej wartości: -style"},
        {{"plik.lpgd"}, "nieznana opcja lub brak jej wartości: plik.lpgd"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parsed(row.words).usageProblem, row.problem) << row.words[0];
    }
    const CVapron::Options options = parsed({"--trace", "ślad.txt", "--version"});
    EXPECT_EQ(options.trace, "ślad.txt");
    EXPECT_TRUE(options.version);
}

}  // namespace
