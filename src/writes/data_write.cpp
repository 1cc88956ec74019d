// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/data_write.h"

#include <algorithm>
#include <cmath>

#include "support/error_guard.h"

namespace {

using Status = write_outcome_t::Status;
using Severity = write_outcome_t::Severity;

constexpr const char* kAgain = "Sprawdź połączenie i wpisz jeszcze raz.";
constexpr const char* kReconnect =
    "Połączenie ze sterownikiem zostało przerwane: wybierz „Połącz ponownie” w menu "
    "Diagnostyka, a potem wpisz jeszcze raz.";
constexpr const char* kMapFailed = "Nie powiodło się wpisanie mapy wtrysków do urządzenia!";
constexpr const char* kTableFailed =
    "Nie powiodło się wpisanie tabeli poprawek czasu do urządzenia!";
constexpr const char* kFuelFailed = "Nie można wpisać ustawień czujnika poziomu gazu do urządzenia";
constexpr const char* kEepromFailed = "Nie można zapisać do pamięci EEPROM urządzenia!";
constexpr double kTableOffset = 100;

// Runs a controller operation; a failed port is a false result, with its text.
bool guardedCall(const std::function<bool()>& operation, std::string& portError) {
    bool done = false;
    if (ErrorPtr error = catchError([&] { done = operation(); })) {
        portError = error->message();
        return false;
    }
    return done;
}

std::string joined(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            text += (text.empty() ? "" : "\n") + line;
        }
    }
    return text;
}

std::string acknowledged(const char* range, std::size_t done, std::size_t size) {
    return std::string(range) + ": potwierdzono " + std::to_string(done) + " z " +
           std::to_string(size) + " bajtów";
}

}  // namespace

CDataWrite::CDataWrite(CLPGDevice& device, CSettingsWrite& settings)
    : device_(device), settings_(settings) {}

std::uint8_t CDataWrite::withTableFlag(std::uint8_t flags, const Table& values) {
    const Table stored = storedTable(values);
    const bool any = std::any_of(stored.begin(), stored.end(), [](double v) { return v != 0; });
    flags = static_cast<std::uint8_t>(flags & ~dev_setup_t::FLAG_TIME_TABLE);
    return any ? static_cast<std::uint8_t>(flags | dev_setup_t::FLAG_TIME_TABLE) : flags;
}

CDataWrite::Table CDataWrite::storedTable(const Table& values) {
    Table stored{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        stored[i] = std::clamp(std::trunc(values[i] + kTableOffset), 0.0, 255.0) - kTableOffset;
    }
    return stored;
}

CDataWrite::transfer_t CDataWrite::mapTransfer(const MapCells& cells) {
    transfer_t data;
    data.failed = kMapFailed;
    data.what = "mapa";
    data.restart = true;
    data.send = [this, cells] {
        device_.map() = cells;
        return device_.writeMap();
    };
    data.verify = [this, cells]() -> std::string {
        if (!device_.readMap()) {
            return "odczyt po zapisie: brak poprawnej odpowiedzi sterownika albo niezgodna "
                   "suma kontrolna mapy";
        }
        const auto& read = device_.map();
        const auto at = std::mismatch(cells.begin(), cells.end(), read.begin());
        if (at.first == cells.end()) {
            return {};
        }
        return "odczyt po zapisie: komórka " + std::to_string(at.first - cells.begin() + 1) +
               " z " + std::to_string(cells.size()) + ": wpisano " + std::to_string(*at.first) +
               ", odczytano " + std::to_string(*at.second);
    };
    data.held = [this] {
        if (device_.eepromWritten() == 0) {
            return std::string();
        }
        return joined(
            {"Mapa w sterowniku jest niekompletna — wpisz ją ponownie.",
             acknowledged("EEPROM 104-511", device_.eepromWritten(), CLPGDevice::kMapAreaSize)});
    };
    return data;
}

CDataWrite::transfer_t CDataWrite::tableTransfer(const Table& values) {
    transfer_t data;
    data.failed = kTableFailed;
    data.what = "tabela poprawek czasu";
    data.send = [this, values] {
        device_.info().timeTable = values;
        return device_.writeTimeTable();
    };
    data.verify = [this, values]() -> std::string {
        Table read{};
        if (!device_.readTimeTable(read)) {
            return "odczyt po zapisie: brak odpowiedzi sterownika";
        }
        const Table stored = storedTable(values);
        const auto at = std::mismatch(stored.begin(), stored.end(), read.begin());
        if (at.first == stored.end()) {
            return {};
        }
        return "odczyt po zapisie: kolumna " + std::to_string(at.first - stored.begin() + 1) +
               ": wpisano " + std::to_string(static_cast<int>(*at.first)) + ", odczytano " +
               std::to_string(static_cast<int>(*at.second));
    };
    data.held = [] { return std::string(); };  // one record: taken whole or not at all
    return data;
}

write_outcome_t CDataWrite::writeMap(const MapCells& cells, bool switchOn) {
    const bool any = std::any_of(cells.begin(), cells.end(),
                                 [](std::uint8_t cell) { return cell != kNoMapCorrection; });
    return transfer(
        mapTransfer(cells),
        [any](dev_setup_t& setup) { setup.setFlag(dev_setup_t::FLAG_INJECTION_MAP, any); },
        switchOn);
}

write_outcome_t CDataWrite::writeTable(const Table& values, bool switchOn) {
    return transfer(
        tableTransfer(values),
        [values](dev_setup_t& setup) { setup.flags = withTableFlag(setup.flags, values); },
        switchOn);
}

write_outcome_t CDataWrite::switchMapOn(const MapCells& cells) {
    const bool any = std::any_of(cells.begin(), cells.end(),
                                 [](std::uint8_t cell) { return cell != kNoMapCorrection; });
    return switchOn(mapTransfer(cells), [any](dev_setup_t& setup) {
        setup.setFlag(dev_setup_t::FLAG_INJECTION_MAP, any);
    });
}

write_outcome_t CDataWrite::switchTableOn(const Table& values) {
    return switchOn(tableTransfer(values), [values](dev_setup_t& setup) {
        setup.flags = withTableFlag(setup.flags, values);
    });
}

// The settings that switch the data on, read from the controller and made ready with the
// car file: refused when any of it fails, and then nothing is sent.
write_outcome_t CDataWrite::readSwitchSettings(const transfer_t& data, const Flags& flags,
                                               CSettingsWrite::prepared_t& ready) {
    if (write_outcome_t refused = settings_.checkCar(); refused.refused()) {
        return refused;  // before anything goes on the line
    }
    dev_setup_t setup;
    std::string portError;
    if (!guardedCall([&] { return device_.readSetup(setup); }, portError)) {
        write_outcome_t refused;
        refused.status = Status::Refused;
        refused.refusal = write_outcome_t::Refusal::Unread;
        refused.severity = Severity::Error;
        refused.portLost = !portError.empty();
        refused.problem =
            joined({data.failed,
                    "Nic nie wpisano: nie można odczytać ustawień "
                    "sterownika, które włączają tę funkcję.",
                    portError.empty() ? "brak odpowiedzi na odczyt ustawień" : portError});
        return refused;
    }
    flags(setup);
    return settings_.prepare(setup, ready);
}

write_outcome_t CDataWrite::sent(const transfer_t& data, bool& sentWhole) {
    std::string portError;
    sentWhole = guardedCall(data.send, portError);
    write_outcome_t outcome;
    outcome.severity = Severity::Error;
    outcome.portLost = !portError.empty();
    const std::string advice = outcome.portLost ? kReconnect : kAgain;
    if (!sentWhole) {
        outcome.held = data.held();
        outcome.status = outcome.held.empty() ? Status::NotAnswered : Status::Incomplete;
        const std::string detail =
            portError.empty() ? "sterownik nie potwierdził zapisu" : portError;
        outcome.problem = joined({data.failed, outcome.held.empty() ? advice : "", outcome.held,
                                  outcome.held.empty() ? "" : advice, detail});
        return outcome;
    }
    std::string difference;
    if (!guardedCall(
            [&] {
                difference = data.verify();
                return true;
            },
            portError)) {
        difference = "odczyt po zapisie: " + portError;
        outcome.portLost = true;
    }
    if (!difference.empty()) {
        outcome.status = Status::Incomplete;
        outcome.held = "Sterownik nie ma tego, co wpisano — wpisz jeszcze raz.";
        outcome.problem = joined({data.failed, outcome.held, difference});
        sentWhole = false;
        return outcome;
    }
    outcome.status = Status::Written;
    outcome.severity = Severity::None;
    return outcome;
}

write_outcome_t CDataWrite::transfer(const transfer_t& data, const Flags& flags, bool switchOn) {
    CSettingsWrite::prepared_t ready;
    if (switchOn) {
        if (write_outcome_t refused = readSwitchSettings(data, flags, ready); refused.refused()) {
            return refused;
        }
    }
    bool sentWhole = false;
    write_outcome_t outcome = sent(data, sentWhole);
    if (!sentWhole) {
        return outcome;
    }
    if (!switchOn) {
        outcome.when = clockTime();
        return outcome;
    }
    return switchSettings(data, ready);
}

write_outcome_t CDataWrite::notSwitchedOn(const transfer_t& data, const write_outcome_t& settings,
                                          const std::string& portError) {
    write_outcome_t outcome = settings;
    outcome.status = Status::NotSwitchedOn;
    outcome.severity = Severity::Error;
    outcome.portLost = !portError.empty();
    outcome.held = std::string("Wpisanie nie zostało dokończone: ") + data.what +
                   " jest w sterowniku, ale nie została włączona.";
    std::string detail = portError;
    if (detail.empty()) {
        detail = settings.problem.empty() ? "sterownik nie potwierdził zapisu ustawień"
                                          : settings.problem;
    }
    outcome.problem = joined({outcome.held, outcome.portLost ? kReconnect : "", detail});
    return outcome;
}

write_outcome_t CDataWrite::switchOn(const transfer_t& data, const Flags& flags) {
    CSettingsWrite::prepared_t ready;
    if (write_outcome_t refused = readSwitchSettings(data, flags, ready); refused.refused()) {
        return refused;
    }
    return switchSettings(data, ready);
}

write_outcome_t CDataWrite::switchSettings(const transfer_t& data,
                                           CSettingsWrite::prepared_t& ready) {
    std::string portError;
    write_outcome_t settings;
    if (!guardedCall(
            [&] {
                settings = settings_.send(ready);
                return static_cast<bool>(settings);
            },
            portError)) {
        return notSwitchedOn(data, settings, portError);
    }
    if (data.restart) {
        restart(settings);
    }
    return settings;
}

// A controller takes a new map function only after a restart.
void CDataWrite::restart(write_outcome_t& outcome) {
    std::string portError;
    outcome.restartPending = !guardedCall([&] { return device_.clearErrors(); }, portError);
}

write_outcome_t CDataWrite::writeFuel(const CLPGDevice::FuelThresholds& thresholds) {
    transfer_t data;
    data.failed = kFuelFailed;
    data.send = [&] { return device_.writeFuelSensor(thresholds); };
    data.verify = [&]() -> std::string {
        CLPGDevice::FuelThresholds read{};
        if (!device_.readFuelSensor(read)) {
            return "odczyt po zapisie: brak odpowiedzi sterownika";
        }
        return read == thresholds ? std::string() : "odczyt po zapisie: progi inne niż wpisane";
    };
    data.held = [] { return std::string(); };
    bool sentWhole = false;
    write_outcome_t outcome = sent(data, sentWhole);
    if (sentWhole) {
        outcome.when = clockTime();
    }
    return outcome;
}

write_outcome_t CDataWrite::restoreEeprom(const Image& image) {
    transfer_t data;
    data.failed = kEepromFailed;
    data.send = [&] { return device_.writeEeprom(image.data(), 0, image.size()); };
    data.verify = [] { return std::string(); };  // the settings read below tells
    data.held = [this, &image]() -> std::string {
        if (device_.eepromWritten() == 0) {
            return {};
        }
        return joined({"Pamięć EEPROM w sterowniku jest niekompletna — wpisz ją ponownie.",
                       acknowledged("EEPROM", device_.eepromWritten(), image.size())});
    };
    bool sentWhole = false;
    write_outcome_t outcome = sent(data, sentWhole);
    if (!sentWhole) {
        return outcome;
    }
    // The restored settings and table replace what was held; the library files them.
    std::string portError;
    write_outcome_t filed;
    if (!guardedCall(
            [&] {
                filed = settings_.fileHeld();
                return true;
            },
            portError)) {
        filed.problem =
            joined({"Pamięć EEPROM zastąpiono, ale nie zapisano ustawień w "
                    "bibliotece samochodów.",
                    portError});
    }
    if (filed.refusal == write_outcome_t::Refusal::CarInfo) {
        filed.noCar = true;  // nothing to file under: the restore itself stands
        filed.problem = ICarSettingsStore::kNoCarText;
        filed.severity = Severity::None;
    }
    filed.status = Status::Written;
    filed.when = clockTime();
    if (filed.tells() && filed.severity == Severity::None) {
        filed.severity = Severity::Warning;
    }
    return filed;
}
