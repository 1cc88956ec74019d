// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/controller_sim.h"

#include <algorithm>

#include "link/cipher.h"

using namespace proto;

namespace {

constexpr std::uint8_t kTableOffset = 100;  // a table byte is the entry plus 100
constexpr std::uint8_t kFuelLow = 10;
constexpr std::uint8_t kFuelHigh = 245;

std::vector<std::uint8_t> frameOf(std::uint8_t type, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> frame(kHeaderSize + payload.size() + kCheckSize);
    buildFrame(type, payload.data(), static_cast<std::uint8_t>(payload.size()), frame.data());
    return frame;
}

}  // namespace

CControllerSim::CControllerSim(std::uint32_t seed)
    : faults_(seed ^ 0x5EEDu), engine_(seed), setup_(defaultSetup()) {
    idBytes_ = CCipher::encipherId(kDefaultId);
    clock_ = {0x00000001, 2, 263, 5, kDefaultClockHz};
    // Addresses below the map hold their own low byte, so every block reads differently.
    for (std::size_t i = 0; i < kMapAddress; ++i) {
        eeprom_[i] = static_cast<std::uint8_t>(i);
    }
    std::fill_n(eeprom_.begin() + kMapAddress, kMapSize, std::uint8_t{100});
    putBE16(&eeprom_[kMapAddress + kMapSize], static_cast<std::uint16_t>(kMapSize * 100));
    const std::array<std::uint8_t, 6> tail{0x5A, 0xA5, 0x00, 0x01, 0xFF, 0x10};
    std::copy(tail.begin(), tail.end(), eeprom_.begin() + kMapAddress + kMapSize + 2);
    table_.fill(kTableOffset);
    engine_.setInjectors(injectors_);
    engine_.setTimerHz(kDefaultClockHz);
}

setup_line_t CControllerSim::defaultSetup() {
    return {0x00, 0x00,  // LPG injection delay
            112,         // reference pressure 100 kPa
            10,          // pressure-correction slope 1.0
            0x0F, 0xA0,  // switch-over at 1200 rev/min: 4000 ticks
            133,         // switch-over temperature 35 °C
            40,          // main correction 1 ms
            1,           // ignition pulses
            0x13,        // function flags
            55,          // maximum internal temperature 75 °C
            85,          // minimum supply 11 V
            0,           // emulator delay
            0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80,  // LPG injector masks
            82,                                              // switch to gasoline below 70 kPa
            51,                                              // RPM-signal threshold 1 V
            0,                                               // full sequential injection
            4,                                               // injection-time averaging
            1};                                              // pressure averaging
}

std::vector<std::uint8_t> CControllerSim::handle(const std::uint8_t* frame, std::size_t size) {
    std::size_t number = 0;
    std::vector<std::uint8_t> bytes;
    for (const sim_reply_t& reply : handleTagged(frame, size, number)) {
        bytes.insert(bytes.end(), reply.bytes.begin(), reply.bytes.end());
    }
    return bytes;
}

std::vector<sim_reply_t> CControllerSim::handleTagged(const std::uint8_t* frame, std::size_t size,
                                                      std::size_t& number) {
    std::lock_guard lock(mutex_);
    number = 0;
    if (!faults_.admit()) {
        return {};
    }
    number = ++taken_;
    const std::size_t logged = log_.size();
    auto replies =
        faults_.apply({number, responder_ ? responder_(frame, size) : answer(frame, size)});
    if (log_.size() > logged) {
        for (const sim_reply_t& reply : replies) {
            log_.back().sent.push_back(reply.request);
        }
    }
    return replies;
}

void CControllerSim::setResponder(Responder responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

std::vector<std::uint8_t> CControllerSim::answer(const std::uint8_t* frame, std::size_t size) {
    if (size < kHeaderSize + kCheckSize || frame[0] != kStart1 || frame[1] != kStart2) {
        return commandReply(0, 0, STATUS_NO_HEADER);
    }
    const std::uint8_t length = frame[2];
    const std::uint8_t type = frame[3];
    const std::uint8_t* payload = frame + kHeaderSize;
    const bool checkOk = size == kHeaderSize + length + kCheckSize &&
                         getBE16(payload + length) == checkWord(length, type, payload);
    record(frame, size, checkOk);
    if (!checkOk) {
        return commandReply(0, 0, STATUS_BAD_CHECK);
    }
    if (type == MSG_TYPE_COMMAND) {
        return answerCommand(payload, length);
    }
    return answerWrite(type, payload, length);
}

std::vector<std::uint8_t> CControllerSim::answerCommand(const std::uint8_t* payload,
                                                        std::uint8_t length) {
    if (length < kCommandSize) {
        return commandReply(0, 0, STATUS_UNKNOWN_COMMAND);
    }
    const std::uint8_t code = payload[kCmdCode];
    const std::uint16_t parameter = getBE16(payload + kCmdParam);
    switch (code) {
        case CMD_WORK_LPG:
            engine_.setWorkMode(WorkMode::Lpg);
            return done(parameter);
        case CMD_WORK_GAS:
            engine_.setWorkMode(WorkMode::Gasoline);
            return done(parameter);
        case CMD_WORK_AUTO:
            engine_.setWorkMode(WorkMode::Auto);
            return done(parameter);
        case CMD_TEST:
            return done(parameter);
        case CMD_CLEAR_ERRORS:
            errors_.fill(0);
            return done(parameter);
        case CMD_FUEL_LEVEL:
            return done(nextFuelLevel());
        case CMD_ERROR:
            return frameOf(MSG_TYPE_ERRORS, Payload(errors_.begin(), errors_.end()));
        case CMD_DIAG:
            return frameOf(MSG_TYPE_DIAG, diagPayload(parameter));
        case CMD_SEQUENCE:
            return frameOf(MSG_TYPE_SEQUENCE, sequencePayload());
        case CMD_SETUP:
            return frameOf(MSG_TYPE_SETUP, Payload(setup_.begin(), setup_.end()));
        case CMD_EEPROM:
            return frameOf(MSG_TYPE_EEPROM, eepromBlock(parameter));
        case CMD_SETUP_TABLE: {
            Payload table(table_.begin(), table_.end());
            table.push_back(0);
            return frameOf(MSG_TYPE_TABLE, table);
        }
        case CMD_VERSION: {
            if (!faults_.answersVersion()) {
                return {};
            }
            const auto record = makeVersionRecord();
            return frameOf(MSG_TYPE_VERSION, Payload(record.begin(), record.end()));
        }
        case CMD_FUEL_SENSOR:
            return frameOf(MSG_TYPE_FUEL_SENSOR,
                           Payload(fuelThresholds_.begin(), fuelThresholds_.end()));
        case CMD_CLOCK:
            return faults_.answersClock() ? frameOf(MSG_TYPE_CLOCK, clockPayload())
                                          : std::vector<std::uint8_t>{};
        default:
            return commandReply(code, parameter, STATUS_UNKNOWN_COMMAND);
    }
}

std::vector<std::uint8_t> CControllerSim::answerWrite(std::uint8_t type,
                                                      const std::uint8_t* payload,
                                                      std::uint8_t length) {
    const auto unknown = [this] { return commandReply(0, 0, STATUS_UNKNOWN_FRAME); };
    if (refusedWrites_.count(type) != 0) {
        return commandReply(CMD_ERROR, 0, 0);
    }
    switch (type) {
        case MSG_TYPE_SETUP:
            if (length != kSetupSize) {
                return unknown();
            }
            std::copy_n(payload, kSetupSize, setup_.begin());
            return done(0);
        case MSG_TYPE_EEPROM: {
            if (length != kEepromBlockSize) {
                return unknown();
            }
            const std::uint16_t address = getBE16(payload);
            for (std::size_t i = 0; i < 8; ++i) {
                eeprom_[(address + i) % kEepromSize] = payload[2 + i];
            }
            return done(address);
        }
        case MSG_TYPE_TABLE:
            if (length != kTableEntries && length != kTableSize) {
                return unknown();
            }
            std::copy_n(payload, kTableEntries, table_.begin());
            return done(0);
        case MSG_TYPE_VERSION:
            if (length != kVersionSize) {
                return unknown();
            }
            programmingDay_ = getBE16(payload);
            version_ = getBE16(payload + 2);
            injectors_ = payload[4];
            engine_.setInjectors(injectors_);
            std::copy_n(payload + 5, idBytes_.size(), idBytes_.begin());
            return done(0);
        case MSG_TYPE_FUEL_SENSOR:
            if (length != kFuelSensorSize) {
                return unknown();
            }
            std::copy_n(payload, kFuelSensorSize, fuelThresholds_.begin());
            return done(0);
        default:
            return unknown();  // the records only the controller sends, or no record
    }
}

bool CControllerSim::holdsErrors() const {
    return std::any_of(errors_.begin(), errors_.end(), [](std::uint8_t b) { return b != 0; });
}

std::vector<std::uint8_t> CControllerSim::commandReply(std::uint8_t code, std::uint16_t parameter,
                                                       std::uint16_t status) const {
    if (holdsErrors()) {
        status |= STATUS_STORED_ERRORS;
    }
    Payload payload(kCommandSize, 0);
    payload[kCmdCode] = code;
    putBE16(&payload[kCmdParam], parameter);
    putBE16(&payload[kCmdStatus], status);
    return frameOf(MSG_TYPE_COMMAND, payload);
}

std::vector<std::uint8_t> CControllerSim::done(std::uint16_t parameter) const {
    return commandReply(CMD_DONE, parameter, 0);
}

CControllerSim::Payload CControllerSim::eepromBlock(std::uint16_t address) const {
    Payload block(kEepromBlockSize);
    putBE16(block.data(), address);
    for (std::size_t i = 0; i < 8; ++i) {
        block[2 + i] = eeprom_[(address + i) % kEepromSize];
    }
    return block;
}

CControllerSim::Payload CControllerSim::clockPayload() const {
    Payload payload(kClockSize);
    for (std::size_t i = 0; i < clock_.size(); ++i) {
        putBE32(&payload[4 * i], clock_[i]);
    }
    return payload;
}

CControllerSim::Payload CControllerSim::diagPayload(std::uint16_t injectorIndex) {
    const diag_payload_t sample = engine_.sample(setup_, injectorIndex);
    return Payload(sample.begin(), sample.end());
}

CControllerSim::Payload CControllerSim::sequencePayload() const {
    Payload payload(kSequenceSize);
    auto offsets = engine_.sequence(sequential_);
    if (!sequence_.empty()) {
        offsets.fill(0);
        std::copy_n(sequence_.begin(), std::min(sequence_.size(), offsets.size()), offsets.begin());
    }
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        putBE16(&payload[2 * i], offsets[i]);
    }
    return payload;
}

// The float of the tank sender rises and falls slowly between the ends of its range.
std::uint8_t CControllerSim::nextFuelLevel() {
    const int next = fuelLevel_ + fuelStep_;
    if (next > kFuelHigh || next < kFuelLow) {
        fuelStep_ = -fuelStep_;
    }
    fuelLevel_ = static_cast<std::uint8_t>(std::clamp<int>(next, kFuelLow, kFuelHigh));
    return fuelLevel_;
}

void CControllerSim::record(const std::uint8_t* frame, std::size_t size, bool checkOk) {
    sim_request_t request;
    request.type = frame[3];
    request.length = frame[2];
    request.checkOk = checkOk;
    request.number = taken_;
    if (request.type == MSG_TYPE_COMMAND && size >= kHeaderSize + kCommandSize) {
        request.command = frame[kHeaderSize + kCmdCode];
        request.parameter = getBE16(frame + kHeaderSize + kCmdParam);
    }
    log_.push_back(request);
}

// ---- state access ---------------------------------------------------------------------

void CControllerSim::setVersion(std::uint16_t version) {
    std::lock_guard lock(mutex_);
    version_ = version;
}

void CControllerSim::setProgrammingDay(std::uint16_t daysSince1April2004) {
    std::lock_guard lock(mutex_);
    programmingDay_ = daysSince1April2004;
}

void CControllerSim::setInjectors(std::uint8_t count) {
    std::lock_guard lock(mutex_);
    injectors_ = count;
    engine_.setInjectors(count);
}

void CControllerSim::setId(const std::string& id) {
    std::lock_guard lock(mutex_);
    idBytes_ = CCipher::encipherId(id);
}

std::string CControllerSim::id() const {
    std::lock_guard lock(mutex_);
    return CCipher::decipherId(idBytes_.data());
}

std::array<std::uint8_t, kVersionSize> CControllerSim::versionRecord() const {
    std::lock_guard lock(mutex_);
    return makeVersionRecord();
}

std::array<std::uint8_t, kVersionSize> CControllerSim::makeVersionRecord() const {
    std::array<std::uint8_t, kVersionSize> record{};
    putBE16(&record[0], programmingDay_);
    putBE16(&record[2], version_);
    record[4] = injectors_;
    std::copy(idBytes_.begin(), idBytes_.end(), record.begin() + 5);
    return record;
}

void CControllerSim::setClock(const clock_words_t& words) {
    std::lock_guard lock(mutex_);
    clock_ = words;
    engine_.setTimerHz(words[4]);
}

void CControllerSim::setClockHz(std::uint32_t hz) {
    std::lock_guard lock(mutex_);
    clock_[4] = hz;
    engine_.setTimerHz(hz);
}

CControllerSim::clock_words_t CControllerSim::clock() const {
    std::lock_guard lock(mutex_);
    return clock_;
}

void CControllerSim::setSetup(const setup_line_t& setup) {
    std::lock_guard lock(mutex_);
    setup_ = setup;
}

void CControllerSim::refuseWrites(std::uint8_t type, bool refuse) {
    std::lock_guard lock(mutex_);
    if (refuse) {
        refusedWrites_.insert(type);
    } else {
        refusedWrites_.erase(type);
    }
}

setup_line_t CControllerSim::setup() const {
    std::lock_guard lock(mutex_);
    return setup_;
}

CControllerSim::eeprom_t CControllerSim::eeprom() const {
    std::lock_guard lock(mutex_);
    return eeprom_;
}

void CControllerSim::setEeprom(const eeprom_t& bytes) {
    std::lock_guard lock(mutex_);
    eeprom_ = bytes;
}

CControllerSim::table_t CControllerSim::timeTable() const {
    std::lock_guard lock(mutex_);
    return table_;
}

void CControllerSim::setTimeTable(const table_t& bytes) {
    std::lock_guard lock(mutex_);
    table_ = bytes;
}

CControllerSim::fuel_thresholds_t CControllerSim::fuelThresholds() const {
    std::lock_guard lock(mutex_);
    return fuelThresholds_;
}

void CControllerSim::setFuelThresholds(const fuel_thresholds_t& thresholds) {
    std::lock_guard lock(mutex_);
    fuelThresholds_ = thresholds;
}

void CControllerSim::setFuelLevel(std::uint8_t reading) {
    std::lock_guard lock(mutex_);
    fuelLevel_ = reading;
}

std::uint8_t CControllerSim::fuelLevel() const {
    std::lock_guard lock(mutex_);
    return fuelLevel_;
}

void CControllerSim::setErrorReport(const error_report_t& report) {
    std::lock_guard lock(mutex_);
    errors_ = report;
}

CControllerSim::error_report_t CControllerSim::errorReport() const {
    std::lock_guard lock(mutex_);
    return errors_;
}

WorkMode CControllerSim::workMode() const {
    std::lock_guard lock(mutex_);
    return engine_.workMode();
}

void CControllerSim::setWorkMode(WorkMode mode) {
    std::lock_guard lock(mutex_);
    engine_.setWorkMode(mode);
}

bool CControllerSim::onLpg() const {
    std::lock_guard lock(mutex_);
    return engine_.onLpg();
}

void CControllerSim::setProfile(EngineProfile profile) {
    std::lock_guard lock(mutex_);
    engine_.setProfile(profile);
}

void CControllerSim::setNeededCorrection(double ms) {
    std::lock_guard lock(mutex_);
    engine_.setNeededCorrection(ms);
}

void CControllerSim::setGasTimeNoise(double ms) {
    std::lock_guard lock(mutex_);
    engine_.setGasTimeNoise(ms);
}

void CControllerSim::setEngineStepMs(double ms) {
    std::lock_guard lock(mutex_);
    engine_.setStepMs(ms);
}

void CControllerSim::setWarm(bool warm) {
    std::lock_guard lock(mutex_);
    engine_.setWarm(warm);
}

void CControllerSim::setSequential(bool sequential) {
    std::lock_guard lock(mutex_);
    sequential_ = sequential;
}

void CControllerSim::setSequence(const std::vector<std::uint16_t>& ticks) {
    std::lock_guard lock(mutex_);
    sequence_ = ticks;
}

std::vector<sim_request_t> CControllerSim::requests() const {
    std::lock_guard lock(mutex_);
    return log_;
}

std::size_t CControllerSim::requestCount() const {
    std::lock_guard lock(mutex_);
    return log_.size();
}

void CControllerSim::clearRequests() {
    std::lock_guard lock(mutex_);
    log_.clear();
}
