// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace CLI {
class App;
class ParseError;
}  // namespace CLI

// How vapron-cli speaks about its own command line: the help in Polish, the global
// options named in every command's help, the exit-code footer from the one table of
// codes, and parse errors as Polish messages.
class CCliUsage {
  public:
    struct exit_code_t {
        int code;
        const char* meaning;
    };
    // Every code the tool ends with, in order.
    static const exit_code_t kExitCodes[5];

    // After every command has been defined.
    static void polish(CLI::App& app, const std::string& globalOptions);
    static std::string exitCodeFooter();
    // The message for a command line that cannot be used; `argv` finds an unknown command.
    static std::string parseError(const CLI::ParseError& error, CLI::App& app, int argc,
                                  char** argv);

  private:
    static std::string unknownCommand(CLI::App& app, int argc, char** argv);
};
