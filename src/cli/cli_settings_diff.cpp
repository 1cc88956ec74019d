// SPDX-License-Identifier: GPL-3.0-or-later
// `settings diff A B` and `settings load FILE`: whole settings records from the
// controller, car settings files and recordings' settings snapshots.
#include <cstdio>

#include <CLI/CLI.hpp>

#include "cli/cli_app.h"
#include "cli/cli_options.h"
#include "cli/settings_source.h"
#include "link/setup_fields.h"
#include "settings/record_copy.h"
#include "settings/settings_compare.h"

using nlohmann::json;

namespace {

json valueJson(const setup_field_t& field, double value) {
    return field.integral() ? json(static_cast<long>(value)) : json(value);
}

// Every field of `settings get` whose value differs, in that order.
json differences(const dev_setup_t& a, const dev_setup_t& b, std::string& text) {
    const auto changes = CSettingsCompare::differences(a, b);
    json list = json::array();
    for (const auto& change : changes) {
        if (change.field) {
            list.push_back({{"field", change.name},
                            {"a", valueJson(*change.field, change.a)},
                            {"b", valueJson(*change.field, change.b)}});
        } else {
            list.push_back({{"field", change.name}, {"a", a.lpgMasks}, {"b", b.lpgMasks}});
        }
    }
    text = CSettingsCompare::text(changes);
    return list;
}

int exitFor(CSettingsSource::Problem problem) {
    return problem == CSettingsSource::Problem::Usage ? CCliApp::EXIT_USAGE : CCliApp::EXIT_IO;
}

}  // namespace

void CCliApp::defineSettingsFileCommands(CLI::App& settings) {
    Options& o = *opt_;
    settings
        .add_subcommand("diff",
                        "Pola, którymi różnią się dwa źródła ustawień (kod 4, gdy są takie)")
        ->add_option("sources", o.sources,
                     "controller, PLIK.settings albo NAGRANIE.lpgd-config#N (N od 1)")
        ->required()
        ->expected(2);
    settings
        .add_subcommand("load",
                        "Zastosuj plik ustawień samochodu jak \"Wczytaj z pliku....\" "
                        "edytora ustawień, sprawdź i wpisz")
        ->add_option("file", o.file, "Plik ustawień samochodu (.settings)")
        ->required();
}

int CCliApp::cmdSettingsDiff() {
    std::array<CSettingsSource, 2> sources;
    std::array<device_info_t, 2> records;
    std::string message;
    for (std::size_t i = 0; i < 2; ++i) {
        if (auto problem = CSettingsSource::parse(opt_->sources[i], sources[i], message);
            problem != CSettingsSource::Problem::None) {
            return fail(exitFor(problem), message);
        }
    }
    // Files first: a bad file is reported before the port is touched.
    bool needsController = false;
    for (std::size_t i = 0; i < 2; ++i) {
        if (sources[i].kind() == CSettingsSource::Kind::Controller) {
            needsController = true;
        } else if (auto problem = sources[i].read(records[i], message);
                   problem != CSettingsSource::Problem::None) {
            return fail(exitFor(problem), message);
        }
    }
    if (needsController) {
        if (int code = connectDevice(); code != EXIT_OK) {
            return code;
        }
        if (!device_->readSetup()) {
            return fail(EXIT_NO_ANSWER, "Nie powiodło się odczytanie ustawień urządzenia!");
        }
        const device_info_t held = device_->info();
        for (std::size_t i = 0; i < 2; ++i) {
            if (sources[i].kind() == CSettingsSource::Kind::Controller)
                records[i] = held;
        }
    }
    std::string text;
    const json list = differences(records[0].setup, records[1].setup, text);
    print(json{{"differences", list}}, text);
    return list.empty() ? EXIT_OK : EXIT_DIFFERENT;
}

int CCliApp::cmdSettingsLoad() {
    device_info_t file;
    std::string message;
    if (CSettingsSource::readSettingsFile(opt_->file, file, message) !=
        CSettingsSource::Problem::None) {
        return fail(EXIT_IO, message);
    }
    if (int code = connectDevice(); code != EXIT_OK) {
        return code;
    }
    device_info_t record = device_->info();
    if (!device_->readSetup(record.setup)) {
        return fail(EXIT_NO_ANSWER, "Nie powiodło się odczytanie ustawień urządzenia!");
    }
    const dev_setup_t before = record.setup;
    CRecordCopy::takeFile(record, file, device_->carInfoGiven());
    device_->adoptRecord(record);
    // A new injection type takes effect when the controller restarts; the reset request
    // is the one the settings editor sends.
    return writeAndReadBack(record.setup, [&] {
        if (setupNeedsRestart(before, record.setup) && !device_->clearErrors()) {
            return fail(EXIT_NO_ANSWER, "Nie powiodło się zresetowanie urządzenia!");
        }
        return static_cast<int>(EXIT_OK);
    });
}
