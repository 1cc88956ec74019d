// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_usage.h"

#include <memory>
#include <vector>

#include <CLI/CLI.hpp>

const CCliUsage::exit_code_t CCliUsage::kExitCodes[5] = {
    {0, "wykonano"},
    {1, "sterownik nie odpowiedział albo nie potwierdził"},
    {2, "zły wiersz polecenia albo złe wartości"},
    {3, "port albo plik, którego nie można użyć lub który zawiera złe dane"},
    {4, "settings diff: porównane ustawienia się różnią"},
};

namespace {

// A value's type in Polish: "INT" gives "LICZBA".
std::string polishType(const std::string& type) {
    if (type == "INT" || type == "UINT" || type == "FLOAT") {
        return "LICZBA";
    }
    return type == "TEXT" ? "TEKST" : type;
}

// What a check allows, without its English: "INT in [1 - 8]" gives "[1 - 8]",
// "POSITIVE" gives "> 0".
std::string polishCheck(const std::string& description) {
    if (description == "POSITIVE") {
        return "> 0";
    }
    const auto range = description.find(" in [");
    return range == std::string::npos ? description : description.substr(range + 4);
}

void polishChecks(CLI::Option& option) {
    for (int i = 0;; ++i) {
        try {
            CLI::Validator* check = option.get_validator(i);
            check->description(polishCheck(check->get_description()));
        } catch (const CLI::OptionNotFound&) {
            return;  // no more checks
        }
    }
}

void polishCommand(CLI::App& command, const std::string& footer,
                   const std::shared_ptr<CLI::Formatter>& formatter) {
    command.group("Polecenia");
    command.footer(footer);
    command.formatter(formatter);
    if (CLI::Option* help = command.get_help_ptr()) {
        help->description("Pokaż tę pomoc i zakończ");
        help->group("Opcje");
    }
    for (CLI::Option* option : command.get_options()) {
        if (option->get_group() == "Options") {
            option->group("Opcje");
        }
        const std::string type = option->get_type_name();
        option->type_name(polishType(type.substr(0, type.find(':'))));
        polishChecks(*option);
    }
    for (CLI::App* sub : command.get_subcommands({})) {
        polishCommand(*sub, footer, formatter);
    }
}

// The part of a CLI11 message after "name: " or before " is required": the names only.
std::string subject(const std::string& what) {
    if (const auto colon = what.find(": "); colon != std::string::npos) {
        return what.substr(colon + 2);
    }
    if (const auto required = what.find(" is required"); required != std::string::npos) {
        return what.substr(0, required);
    }
    return {};
}

std::string withDetail(const std::string& text, const std::string& detail) {
    return detail.empty() ? text : text + "\n" + detail;
}

}  // namespace

void CCliUsage::polish(CLI::App& app, const std::string& globalOptions) {
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->label("Usage", "Użycie");
    formatter->label("OPTIONS", "OPCJE");
    formatter->label("SUBCOMMAND", "POLECENIE");
    formatter->label("SUBCOMMANDS", "POLECENIA");
    formatter->label("REQUIRED", "WYMAGANE");
    formatter->label("Positionals", "Argumenty");
    formatter->label("Excludes", "Wyklucza");
    formatter->label("Needs", "Wymaga");
    formatter->label("TEXT", "TEKST");
    formatter->label("INT", "LICZBA");
    formatter->label("UINT", "LICZBA");
    formatter->label("FLOAT", "LICZBA");
    formatter->label("CHAR", "ZNAK");
    formatter->column_width(34);
    polishCommand(app, globalOptions + "\n\n" + exitCodeFooter(), formatter);
    app.footer(exitCodeFooter());
}

std::string CCliUsage::exitCodeFooter() {
    std::string text = "Kody wyjścia:";
    for (const exit_code_t& exit : kExitCodes) {
        text += "\n  " + std::to_string(exit.code) + "  " + exit.meaning;
    }
    return text;
}

std::string CCliUsage::parseError(const CLI::ParseError& error, CLI::App& app, int argc,
                                  char** argv) {
    if (std::string unknown = unknownCommand(app, argc, argv); !unknown.empty()) {
        return "nieznane polecenie: " + unknown;
    }
    const std::string what = error.what();
    const std::string detail = subject(what);
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        return withDetail("nieoczekiwane argumenty albo nieznane opcje:", detail);
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        if (what.find("subcommand") != std::string::npos) {
            return "podaj polecenie (lista: vapron-cli --help)";
        }
        return withDetail("brak wymaganego argumentu albo opcji:", detail);
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
        return "tych opcji nie można podać razem: " + what.substr(0, what.find(' ')) + ", " +
               what.substr(what.rfind(' ') + 1);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        return withDetail("zła liczba wartości:", what.substr(0, what.find(':')));
    }
    if (dynamic_cast<const CLI::ValidationError*>(&error) ||
        dynamic_cast<const CLI::ConversionError*>(&error)) {
        return withDetail("niedozwolona wartość; dozwolone podaje pomoc polecenia (--help):",
                          what.substr(0, what.find(':')));
    }
    return "nie można użyć tego wiersza polecenia (zobacz vapron-cli --help)";
}

std::string CCliUsage::unknownCommand(CLI::App& app, int argc, char** argv) {
    CLI::App* current = &app;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string token = argv[i];
        if (token == "--") {
            return {};
        }
        if (token.size() > 1 && token[0] == '-') {
            // An option with a separate value takes the next token with it.
            const std::string name = token.substr(0, token.find('='));
            for (CLI::App* owner = current; owner; owner = owner->get_parent()) {
                const CLI::Option* option = owner->get_option_no_throw(name);
                if (option) {
                    if (option->get_expected_min() > 0 && token.find('=') == std::string::npos) {
                        ++i;
                    }
                    break;
                }
            }
            continue;
        }
        CLI::App* sub = nullptr;
        for (CLI::App* candidate : current->get_subcommands({})) {
            if (candidate->check_name(token)) {
                sub = candidate;
            }
        }
        if (sub) {
            current = sub;
            path += token + " ";
        } else if (current->get_require_subcommand_min() > 0) {
            return path + token;
        } else {
            return {};
        }
    }
    return {};
}
