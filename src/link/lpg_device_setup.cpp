// SPDX-License-Identifier: GPL-3.0-or-later
// The settings record: read, write with its preconditions, car information.
#include <ctime>

#include "link/lpg_device.h"
#include "link/setup_fields.h"
#include "support/local_time.h"

using namespace proto;

bool CLPGDevice::readSetup(dev_setup_t& into) {
    frame_t reply;
    request_rule_t rule;
    rule.replyType = MSG_TYPE_SETUP;
    if (!command(CMD_SETUP, 0, rule, reply, kSetupSize)) {
        return false;
    }
    dev_setup_t read;
    read.fromLine(reply.payload());
    holdSetup(read);
    into = read;
    return true;
}

bool CLPGDevice::readSetup() {
    dev_setup_t ignored;
    return readSetup(ignored);
}

dev_setup_t CLPGDevice::heldSetup() const {
    std::lock_guard lock(heldMutex_);
    return info_.setup;
}

void CLPGDevice::adoptRecord(const device_info_t& record) {
    std::lock_guard lock(heldMutex_);
    const device_info_t kept = info_;
    info_ = record;
    info_.setup = kept.setup;
    // Only the car dialog changes a car that was given; an editor's copy of the record may
    // be older than it.
    if (carInfoGiven_) {
        info_.car() = kept.car();
    }
}

std::optional<std::array<double, device_info_t::kTimeTableSize>> CLPGDevice::heldTable() const {
    std::lock_guard lock(heldMutex_);
    return heldTable_;
}

void CLPGDevice::holdTable(const std::array<double, device_info_t::kTimeTableSize>& table) {
    std::lock_guard lock(heldMutex_);
    heldTable_ = table;
}

void CLPGDevice::takeIdentity(std::uint16_t version, std::uint8_t injectors,
                              const std::string& id) {
    if (!info_.id.empty() && id != info_.id) {
        carInfoGiven_ = false;
        info_.car() = car_description_t{};
        std::lock_guard lock(heldMutex_);
        heldTable_.reset();
    }
    info_.version = version;
    info_.injectors = injectors;
    info_.id = id;
}

void CLPGDevice::holdSetup(const dev_setup_t& setup) {
    {
        std::lock_guard lock(heldMutex_);
        info_.setup = setup;
    }
    ui_.showMainCorrection(setup.mainCorrection);
}

bool CLPGDevice::ensureCarInfo() {
    if (carInfoGiven_ || unlocked_) {
        return true;
    }
    if (!ui_.askCarInfo()) {
        return false;
    }
    carInfoGiven_ = true;
    return true;
}

namespace {

std::string localTimeStamp() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = localTime(now);
    char text[40] = {};
    std::strftime(text, sizeof text, "%d-%m-%Y-%H:%M:%S", &local);
    return text;
}

}  // namespace

setup_write_t CLPGDevice::refuse(setup_write_t::Refusal why, const std::string& problem,
                                 IDeviceUi::Icon icon) {
    if (!problem.empty()) {
        ui_.messageBox(problem, icon);
    }
    setup_write_t result;
    result.status = setup_write_t::Status::Refused;
    result.refusal = why;
    result.problem = problem;
    return result;
}

setup_write_t CLPGDevice::writeSetup(const dev_setup_t& setup) {
    if (const std::string problems = checkSetup(setup); !problems.empty()) {
        return refuse(setup_write_t::Refusal::Check,
                      "Nie wpisano ustawień do sterownika:\n" + problems, IDeviceUi::Icon::Error);
    }
    if (!ensureCarInfo()) {
        return refuse(setup_write_t::Refusal::CarInfo,
                      "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej "
                      "instalacji");
    }
    VersionBytes version{};
    if (!readVersion(version)) {
        return refuse(setup_write_t::Refusal::Version, "Nie można wczytać wersji urządzenia");
    }
    if (info_.version != kSupportedVersion) {
        showVersionMismatch(info_.version);
        return refuse(setup_write_t::Refusal::Version, {});  // the mismatch box said why
    }
    // Another controller answered since the car was given: it asks for its own car.
    if (!ensureCarInfo()) {
        return refuse(setup_write_t::Refusal::CarInfo,
                      "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej "
                      "instalacji");
    }
    // The controller keeps its own steps: the file, the snapshot and the held settings
    // hold what it will store, not what was typed.
    std::uint8_t payload[kBufferSize] = {};
    setup.toLine(payload);
    dev_setup_t stored;
    stored.fromLine(payload);
    device_info_t filed;
    std::string unfiled;
    const bool fileable = recordToFile(stored, filed, unfiled);
    std::unique_ptr<ICarSettingsStore::IPending> pending;
    if (store_ && fileable) {
        std::string problem;
        pending = store_->prepare(filed, problem);
        if (!pending) {
            return refuse(setup_write_t::Refusal::File,
                          "Nie można wpisać ustawień do pliku z danymi samochodu\n" + problem,
                          IDeviceUi::Icon::Error);
        }
    }
    setup_write_t result;
    if (!sendRecord(MSG_TYPE_SETUP, payload, kSetupSize)) {
        return result;  // the prepared file goes with `pending`
    }
    result.status = setup_write_t::Status::Written;
    result.stored = stored;
    result.adjusted = storedOtherwise(setup, stored);
    {
        std::lock_guard lock(heldMutex_);
        info_.timeStamp = filed.timeStamp;
    }
    holdSetup(stored);
    if (!fileable) {
        result.problem = unfiled;
        ui_.messageBox(unfiled, IDeviceUi::Icon::Warning);
    } else if (!pending) {
        result.noCar = true;  // no library to file in: the service unlock without a car
        result.problem = ICarSettingsStore::kNoCarText;
    } else {
        const ICarSettingsStore::commit_t commit = pending->commit();
        result.filed = commit.filed;
        result.noCar = commit.noCar;
        result.problem = commit.problem;
        if (!commit.problem.empty() && !commit.noCar) {
            ui_.messageBox(commit.problem,
                           commit.filed ? IDeviceUi::Icon::Warning : IDeviceUi::Icon::Error);
        }
    }
    if (snapshotHook_) {
        snapshotHook_(filed);
    }
    return result;
}

bool CLPGDevice::recordToFile(const dev_setup_t& stored, device_info_t& filed,
                              std::string& problem) {
    std::optional<std::array<double, device_info_t::kTimeTableSize>> table = heldTable();
    if (!table) {
        std::array<double, device_info_t::kTimeTableSize> read{};
        if (readTimeTable(read)) {
            table = read;
        }
    }
    {
        std::lock_guard lock(heldMutex_);
        filed = info_;
    }
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
