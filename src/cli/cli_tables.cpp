// SPDX-License-Identifier: GPL-3.0-or-later
// Map, time table, fuel sensor and sequence commands, with their input checks.
#include <algorithm>
#include <cmath>
#include <sstream>

#include <CLI/CLI.hpp>

#include "cli/cli_app.h"
#include "cli/cli_options.h"
#include "cli/map_file.h"
#include "corrections/inj_map_cells.h"
#include "corrections/time_table.h"
#include "settings/eeprom_image.h"

using nlohmann::json;

namespace {

constexpr int kMapRows = CMapFile::kRows;
constexpr int kMapColumns = CMapFile::kColumns;

bool parseNumbers(const std::string& text, char separator, std::vector<double>& numbers) {
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) {
        std::size_t used = 0;
        try {
            numbers.push_back(std::stod(part, &used));
        } catch (const std::exception&) {  // not a number, or out of range
            return false;
        }
        if (used != part.size() || !std::isfinite(numbers.back()))
            return false;
    }
    return true;
}

}  // namespace

int CCliApp::prepareInputs(CLI::App& app) {
    auto nested = [&](const char* name, const char* inner) {
        return app.got_subcommand(name) && app.get_subcommand(name)->got_subcommand(inner);
    };
    // Read once, here, before the port is opened: a FIFO or pipe can be read only once.
    if (nested("eeprom", "write")) {
        std::string detail;
        const auto result =
            CEepromImage::read(opt_->file, opt_->image, CFileIo::Source::FileOrStream, &detail);
        if (result != CEepromImage::Result::Ok)
            return fail(EXIT_IO, std::string(CEepromImage::text(result)) + "\n" + opt_->file +
                                     ": " + detail);
    }
    if (nested("map", "write"))
        return prepareMap();
    if (nested("table", "write"))
        return prepareTable();
    if (nested("fuel", "write"))
        return prepareThresholds();
    return EXIT_OK;
}

int CCliApp::prepareMap() {
    const CFileIo::result_t file =
        CFileIo::readFile(opt_->file, CMapFile::kMaxFileSize, CFileIo::Source::FileOrStream);
    if (!file.ok()) {
        return fail(EXIT_IO,
                    "Nie można odczytać pliku mapy: wskaż plik zapisany przez "
                    "\"map read\".\n" +
                        opt_->file + ": " + CFileIo::describe(file));
    }
    std::vector<double> values;
    std::string problem;
    if (!CMapFile::parse(std::string(file.bytes.begin(), file.bytes.end()), values, problem)) {
        return fail(EXIT_IO,
                    "Popraw plik mapy: potrzeba 50 wierszy po 8 liczb; nic nie "
                    "zostało wpisane.\n" +
                        opt_->file + ": " + problem);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        // As the map editor takes a typed cell: whole percent, halves away from zero,
        // limited to −100…150 %.
        opt_->map[i] = injmap::byteOfPercent(injmap::proposalPercent(values[i]));
    }
    return EXIT_OK;
}

int CCliApp::prepareTable() {
    std::vector<double> values;
    if (!parseNumbers(opt_->values, ',', values) || values.size() != opt_->table.size()) {
        return fail(EXIT_USAGE, "Podaj tablicę jako 25 liczb oddzielonych przecinkami.");
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] < -100 || values[i] > 155) {
            return fail(EXIT_USAGE, "Poprawka musi leżeć między -100 a 155 %.");
        }
        // Whole percent, halves away from zero, as the controller keeps them; the table
        // bit then follows what is stored (0.4 switches nothing on).
        opt_->table[i] = std::round(values[i]);
    }
    return EXIT_OK;
}

int CCliApp::prepareThresholds() {
    std::vector<double> v;
    if (!parseNumbers(opt_->values, ',', v) || v.size() != 4) {
        return fail(
            EXIT_USAGE,
            "Podaj progi czujnika jako T34,T12,T14,REZ (cztery liczby oddzielone przecinkami).");
    }
    for (double x : v) {
        if (x < 0 || x > 255 || x != std::floor(x)) {
            return fail(EXIT_USAGE, "Próg musi być liczbą całkowitą od 0 do 255.");
        }
    }
    const double t = v[0], h = v[1], q = v[2], r = v[3];
    const bool rising = r < q && q < h && h < t;
    const bool falling = r > q && q > h && h > t;
    if (!rising && !falling) {
        return fail(EXIT_USAGE,
                    "Nieprawidłowe wartości.\n"
                    "Powinny być wprowadzone w porządku rosnącym lub malejącym.");
    }
    for (std::size_t i = 0; i < 4; ++i)
        opt_->thresholds[i] = static_cast<std::uint8_t>(v[i]);
    return EXIT_OK;
}

int CCliApp::cmdMapRead() {
    const bool matches = device_->readMap();
    json rows = json::array();
    std::ostringstream text;
    for (int r = 0; r < kMapRows; ++r) {
        json row = json::array();
        for (int c = 0; c < kMapColumns; ++c) {
            const int percent = int{device_->map()[r * kMapColumns + c]} - 100;
            row.push_back(percent);
            text << (c ? "\t" : "") << percent;
        }
        rows.push_back(row);
        text << '\n';
    }
    if (!matches) {
        return fail(EXIT_NO_ANSWER, "Nie powiodło się odczytanie mapy wtrysków z urządzenia!");
    }
    return print(json{{"rows", rows}}, text.str());
}

// The map goes before the settings that switch it on, and whatever could keep those from
// following it stops the write before the map is sent.
int CCliApp::cmdMapWrite() {
    return finishTransfer(dataWrite_->writeMap(opt_->map, !opt_->keepFunctions), json::object(),
                          "");
}

int CCliApp::cmdTableRead() {
    if (!device_->readTimeTable()) {
        return fail(EXIT_NO_ANSWER, "Nie powiodło się odczytanie ustawień urządzenia!");
    }
    std::ostringstream text;
    for (std::size_t i = 0; i < device_->info().timeTable.size(); ++i) {
        text << (i ? "," : "") << device_->info().timeTable[i];
    }
    text << '\n';
    return print(json{{"values", device_->info().timeTable}}, text.str());
}

int CCliApp::cmdTableWrite() {
    const write_outcome_t outcome = dataWrite_->writeTable(opt_->table, !opt_->keepFunctions);
    // The controller keeps whole percents toward zero: what it stores is printed.
    const auto stored = CDataWrite::storedTable(opt_->table);
    std::ostringstream text;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        text << (i ? "," : "") << stored[i];
    }
    text << '\n';
    return finishTransfer(outcome, json{{"values", stored}}, text.str());
}

int CCliApp::cmdFuelRead() {
    std::uint16_t level = 0;
    if (!device_->readFuelLevel(level)) {
        return fail(EXIT_NO_ANSWER, "Nie można wczytać wskazania czujnika poziomu gazu");
    }
    CLPGDevice::FuelThresholds thresholds{};
    if (!device_->readFuelSensor(thresholds)) {
        return fail(EXIT_NO_ANSWER,
                    "Nie można wczytać ustawień czujnika poziomu gazu z urządzenia");
    }
    std::ostringstream text;
    text << "progi: " << int{thresholds[0]} << ',' << int{thresholds[1]} << ','
         << int{thresholds[2]} << ',' << int{thresholds[3]} << "\nwskazanie: " << level << '\n';
    return print(json{{"thresholds", thresholds}, {"level", level}}, text.str());
}

int CCliApp::cmdFuelWrite() {
    return finishTransfer(dataWrite_->writeFuel(opt_->thresholds),
                          json{{"thresholds", opt_->thresholds}}, "");
}

int CCliApp::cmdSequence() {
    std::vector<sequence_entry_t> entries;
    bool staggered = false;
    if (!device_->readSequence(entries, staggered)) {
        return fail(EXIT_NO_ANSWER, "Nie można pobrać informacji o sekwencji wtrysków");
    }
    json list = json::array();
    std::ostringstream text;
    for (const auto& e : entries) {
        list.push_back({{"injector", e.injector},
                        {"timeMs", e.timeMs},
                        {"present", e.present},
                        {"position", e.position}});
        if (e.present) {
            text << e.position << ". injector " << e.injector << " at " << e.timeMs << " ms\n";
        }
    }
    text << (staggered ? "staggered\n" : "simultaneous\n");
    return print(json{{"entries", list}, {"staggered", staggered}}, text.str());
}
