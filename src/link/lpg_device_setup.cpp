// SPDX-License-Identifier: GPL-3.0-or-later
// The settings record: read, write with its preconditions, car information.
#include <ctime>

#include "link/lpg_device.h"
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
    const dev_setup_t held = info_.setup;
    info_ = record;
    info_.setup = held;
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
    device_info_t filed;
    {
        std::lock_guard lock(heldMutex_);
        filed = info_;
    }
    filed.setup = setup;
    filed.timeStamp = localTimeStamp();
    std::unique_ptr<ICarSettingsStore::IPending> pending;
    if (store_) {
        std::string problem;
        pending = store_->prepare(filed, problem);
        if (!pending) {
            return refuse(setup_write_t::Refusal::File,
                          "Nie można wpisać ustawień do pliku z danymi samochodu\n" + problem,
                          IDeviceUi::Icon::Error);
        }
    }
    std::uint8_t payload[kBufferSize] = {};
    setup.toLine(payload);
    setup_write_t result;
    if (!sendRecord(MSG_TYPE_SETUP, payload, kSetupSize)) {
        return result;  // the prepared file goes with `pending`
    }
    result.status = setup_write_t::Status::Written;
    {
        std::lock_guard lock(heldMutex_);
        info_.timeStamp = filed.timeStamp;
    }
    holdSetup(setup);
    result.filed = true;
    if (pending) {
        const ICarSettingsStore::commit_t commit = pending->commit();
        result.filed = commit.filed;
        result.problem = commit.problem;
        if (!commit.problem.empty()) {
            ui_.messageBox(commit.problem,
                           commit.filed ? IDeviceUi::Icon::Warning : IDeviceUi::Icon::Error);
        }
    }
    if (snapshotHook_) {
        snapshotHook_(filed);
    }
    return result;
}
