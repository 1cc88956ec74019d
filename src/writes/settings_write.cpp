// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/settings_write.h"

#include <ctime>

#include "link/i_car_settings_store.h"
#include "link/setup_fields.h"
#include "support/local_time.h"

namespace {

constexpr const char* kCarMissingText =
    "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej instalacji";

std::string localTimeText(const char* format) {
    const std::tm local = localTime(std::time(nullptr));
    char text[40] = {};
    std::strftime(text, sizeof text, format, &local);
    return text;
}

std::string localTimeStamp() {
    return localTimeText("%d-%m-%Y-%H:%M:%S");
}

}  // namespace

std::string clockTime() {
    return localTimeText("%H:%M:%S");
}

namespace {}  // namespace

CSettingsWrite::CSettingsWrite(CLPGDevice& device, ICarSettingsStore* store, Snapshot snapshot)
    : device_(device), store_(store), snapshot_(std::move(snapshot)) {}

setup_write_t CSettingsWrite::refuse(setup_write_t::Refusal why, const std::string& problem,
                                     setup_write_t::Severity severity) {
    setup_write_t result;
    result.status = setup_write_t::Status::Refused;
    result.refusal = why;
    result.problem = problem;
    result.severity = severity;
    return result;
}

setup_write_t CSettingsWrite::checkCar() {
    return device_.carKnown() ? setup_write_t{}
                              : refuse(setup_write_t::Refusal::CarInfo, kCarMissingText);
}

setup_write_t CSettingsWrite::write(const dev_setup_t& setup) {
    prepared_t ready;
    if (setup_write_t refused = prepare(setup, ready); refused.refused()) {
        return refused;
    }
    return send(ready);
}

setup_write_t CSettingsWrite::prepare(const dev_setup_t& setup, prepared_t& ready) {
    using Refusal = setup_write_t::Refusal;
    using Severity = setup_write_t::Severity;
    if (const std::string problems = device_.checkSetup(setup); !problems.empty()) {
        return refuse(Refusal::Check, "Nie wpisano ustawień do sterownika:\n" + problems,
                      Severity::Error);
    }
    return prepareFiling(setup, ready);
}

setup_write_t CSettingsWrite::prepareFiling(const dev_setup_t& setup, prepared_t& ready) {
    using Refusal = setup_write_t::Refusal;
    using Severity = setup_write_t::Severity;
    if (!device_.carKnown()) {
        return refuse(Refusal::CarInfo, kCarMissingText);
    }
    CLPGDevice::VersionBytes version{};
    if (!device_.readVersion(version)) {
        return refuse(Refusal::Version, "Nie można wczytać wersji urządzenia", Severity::Error);
    }
    if (device_.info().version != CLPGDevice::kSupportedVersion) {
        return refuse(Refusal::Version, CLPGDevice::versionMismatchText(device_.info().version),
                      Severity::Error);
    }
    // Another controller answered since the car was given: its car is asked for anew.
    if (!device_.carKnown()) {
        return refuse(Refusal::CarInfo, kCarMissingText);
    }
    // The controller keeps its own steps: the file, the snapshot and the held settings
    // hold what it will store, not what was typed.
    ready.setup = setup;
    ready.stored = device_.storedForm(setup);
    ready.fileable = recordToFile(ready.stored, ready.filed, ready.unfiled);
    if (store_ && ready.fileable) {
        std::string problem;
        ready.pending = store_->prepare(ready.filed, problem);
        if (!ready.pending) {
            return refuse(Refusal::File,
                          "Nie można wpisać ustawień do pliku z danymi samochodu\n" + problem,
                          Severity::Error);
        }
    }
    return {};
}

// The settings the controller holds now, read and filed with its table, without a write
// (after a transfer that replaced them).
setup_write_t CSettingsWrite::fileHeld() {
    dev_setup_t held;
    if (!device_.readSetup(held)) {
        return refuse(setup_write_t::Refusal::Unread,
                      "Nie można odczytać ustawień ze sterownika, więc nie zapisano ich w "
                      "bibliotece samochodów. Odczytaj je i wpisz jeszcze raz.\n"
                      "brak odpowiedzi na odczyt ustawień",
                      setup_write_t::Severity::Warning);
    }
    device_.forgetTable();  // the one the controller holds now is read, not an older copy
    prepared_t ready;
    if (setup_write_t refused = prepareFiling(held, ready); refused.refused()) {
        return refused;
    }
    setup_write_t result;
    result.status = setup_write_t::Status::Written;
    result.when = clockTime();
    result.stored = ready.stored;
    commit(std::move(ready.pending), ready.fileable, ready.unfiled, result);
    if (snapshot_) {
        snapshot_(ready.filed);
    }
    return result;
}

setup_write_t CSettingsWrite::send(prepared_t& ready) {
    refreshTable(ready);
    setup_write_t result;
    if (!device_.sendSetup(ready.setup, ready.filed.timeStamp)) {
        ready.pending.reset();  // nothing acknowledged: nothing filed
        return result;
    }
    result.status = setup_write_t::Status::Written;
    result.when = clockTime();
    result.stored = ready.stored;
    result.adjusted = storedOtherwise(ready.setup, ready.stored);
    commit(std::move(ready.pending), ready.fileable, ready.unfiled, result);
    if (snapshot_) {
        snapshot_(ready.filed);
    }
    return result;
}

// A table written between the two halves is the one the controller now holds: the file
// is prepared again with it, and when that fails the write goes on without filing.
void CSettingsWrite::refreshTable(prepared_t& ready) {
    const auto held = device_.heldTable();
    if (!held || *held == ready.filed.timeTable || !ready.fileable) {
        return;
    }
    ready.filed.timeTable = *held;
    if (!store_) {
        return;
    }
    ready.pending.reset();  // the same file is prepared anew
    std::string problem;
    ready.pending = store_->prepare(ready.filed, problem);
    if (!ready.pending) {
        ready.fileable = false;
        ready.unfiled =
            "Ustawienia wpisano do sterownika, ale nie zapisano ich w bibliotece samochodów.\n" +
            problem;
    }
}

void CSettingsWrite::commit(std::unique_ptr<ICarSettingsStore::IPending> pending, bool fileable,
                            const std::string& unfiled, setup_write_t& result) {
    if (!fileable) {
        result.problem = unfiled;
        result.severity = setup_write_t::Severity::Warning;
        return;
    }
    if (!pending) {
        result.noCar = true;  // no library to file in: the service unlock without a car
        result.problem = ICarSettingsStore::kNoCarText;
        return;
    }
    const ICarSettingsStore::commit_t done = pending->commit();
    result.filed = done.filed;
    result.noCar = done.noCar;
    result.problem = done.problem;
    if (!done.problem.empty() && !done.noCar) {
        result.severity =
            done.filed ? setup_write_t::Severity::Warning : setup_write_t::Severity::Error;
    }
}

bool CSettingsWrite::recordToFile(const dev_setup_t& stored, device_info_t& filed,
                                  std::string& problem) {
    const auto table = device_.controllerTable();
    filed = device_.heldRecord();
    filed.setup = stored;
    filed.timeStamp = localTimeStamp();
    if (!table) {
        problem =
            "Ustawienia wpisano do sterownika, ale nie zapisano ich w bibliotece samochodów: "
            "nie udało się odczytać tabeli poprawek czasu. Wpisz ustawienia jeszcze raz.\n"
            "brak odpowiedzi na odczyt tabeli poprawek czasu";
        return false;
    }
    filed.timeTable = *table;
    return true;
}
