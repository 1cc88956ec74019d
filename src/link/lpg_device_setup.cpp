// SPDX-License-Identifier: GPL-3.0-or-later
// The settings record: read, write with its preconditions, car information.
#include "link/lpg_device.h"

using namespace proto;

bool CLPGDevice::readSetup(dev_setup_t& into) {
    frame_t reply;
    request_rule_t rule;
    rule.replyType = MSG_TYPE_SETUP;
    if (!command(CMD_SETUP, 0, rule, reply, kSetupSize)) {
        return false;
    }
    dev_setup_t read;
    read.fromLine(reply.payload(), clock());
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

std::optional<std::array<double, device_info_t::kTimeTableSize>> CLPGDevice::controllerTable() {
    if (auto held = heldTable()) {
        return held;
    }
    std::array<double, device_info_t::kTimeTableSize> read{};
    if (readTimeTable(read)) {
        return read;
    }
    return std::nullopt;
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

void CLPGDevice::forgetTable() {
    std::lock_guard lock(heldMutex_);
    heldTable_.reset();
}

void CLPGDevice::holdSetup(const dev_setup_t& setup) {
    {
        std::lock_guard lock(heldMutex_);
        info_.setup = setup;
    }
    ui_.showMainCorrection(setup.mainCorrection);
}

void CLPGDevice::setJobCar(const car_description_t& car) {
    {
        std::lock_guard lock(heldMutex_);
        info_.car() = car;
    }
    carInfoGiven_ = true;
}

CControllerClock CLPGDevice::clock() const {
    std::lock_guard lock(heldMutex_);
    return clock_;
}

void CLPGDevice::setClock(const CControllerClock& clock) {
    std::lock_guard lock(heldMutex_);
    clock_ = clock;
}

dev_setup_t CLPGDevice::storedForm(const dev_setup_t& setup) const {
    const CControllerClock clock = this->clock();
    std::uint8_t line[dev_setup_t::kLineSize] = {};
    setup.toLine(line, clock);
    dev_setup_t stored;
    stored.fromLine(line, clock);
    return stored;
}

device_info_t CLPGDevice::heldRecord() const {
    std::lock_guard lock(heldMutex_);
    return info_;
}

bool CLPGDevice::sendSetup(const dev_setup_t& setup, const std::string& timeStamp) {
    std::uint8_t payload[kBufferSize] = {};
    setup.toLine(payload, clock());
    if (!sendRecord(MSG_TYPE_SETUP, payload, kSetupSize)) {
        return false;
    }
    {
        std::lock_guard lock(heldMutex_);
        info_.timeStamp = timeStamp;
    }
    holdSetup(storedForm(setup));
    return true;
}
