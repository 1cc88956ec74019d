// SPDX-License-Identifier: GPL-3.0-or-later
// The controller's commands beyond connecting and the settings record.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "link/communication_state.h"
#include "link/conversions.h"
#include "link/lpg_device.h"

using namespace proto;

namespace {

constexpr std::uint16_t kNotSeen = 0xFFFF;
// Injectors that open within this of the first are taken as opening together.
constexpr double kSimultaneousMs = 1.0;
constexpr int kTableOffset = 100;

request_rule_t replyOfType(std::uint8_t type, bool stopOnOtherType = false) {
    request_rule_t rule;
    rule.replyType = type;
    rule.stopOnOtherType = stopOnOtherType;
    return rule;
}

request_rule_t acknowledged() {
    request_rule_t rule;
    rule.needDone = true;
    return rule;
}

}  // namespace

bool CLPGDevice::sendRecord(std::uint8_t type, const std::uint8_t* payload, std::uint8_t length) {
    frame_t reply;
    return request(payload, length, type, acknowledged(), reply);
}

bool CLPGDevice::simpleCommand(std::uint8_t code, std::uint16_t parameter) {
    frame_t reply;
    return command(code, parameter, acknowledged(), reply);
}

bool CLPGDevice::workMode(std::uint8_t code) {
    request_rule_t rule = acknowledged();
    rule.pause = workModePause_;
    frame_t reply;
    return command(code, 0, rule, reply);
}

bool CLPGDevice::setWorkLPG() {
    return workMode(CMD_WORK_LPG);
}

bool CLPGDevice::setWorkGas() {
    return workMode(CMD_WORK_GAS);
}

bool CLPGDevice::setWorkAuto() {
    return setWorkGas() && workMode(CMD_WORK_AUTO);
}

bool CLPGDevice::readErrors(report_t& report) {
    frame_t reply;
    if (!command(CMD_ERROR, 0, replyOfType(MSG_TYPE_ERRORS), reply)) {
        return false;
    }
    std::memcpy(report.data(), reply.payload(), report.size());
    errorReport_ = report;
    return true;
}

bool CLPGDevice::clearErrors() {
    if (!simpleCommand(CMD_CLEAR_ERRORS)) {
        return false;
    }
    ui_.showControllerError(false);
    return true;
}

bool CLPGDevice::requestDiag(int injector, DiagPayload& payload) {
    request_rule_t rule = replyOfType(MSG_TYPE_DIAG);
    rule.attempts = 1;
    rule.unchecked = true;
    frame_t reply;
    if (!command(CMD_DIAG, static_cast<std::uint16_t>(injector - 1), rule, reply, kDiagSize)) {
        return false;
    }
    std::memcpy(payload.data(), reply.payload(), payload.size());
    return true;
}

std::vector<sequence_entry_t> CLPGDevice::decodeSequence(const std::uint16_t values[8],
                                                         bool& staggered,
                                                         const CControllerClock& clock) {
    staggered = false;
    std::array<std::uint16_t, 8> v{};
    for (int i = 0; i < 8; ++i) {
        v[i] = values[i] == 0 ? kNotSeen : values[i];
    }
    const std::uint16_t earliest = *std::min_element(v.begin(), v.end());
    std::vector<sequence_entry_t> entries(8);
    for (int i = 0; i < 8; ++i) {
        if (v[i] != kNotSeen) {
            v[i] = static_cast<std::uint16_t>(v[i] - earliest);
        }
        entries[i].injector = i + 1;
        entries[i].present = v[i] != kNotSeen;
        entries[i].timeMs = clock.ticksToMs(v[i]);
    }
    std::sort(
        entries.begin(), entries.end(),
        [](const sequence_entry_t& a, const sequence_entry_t& b) { return a.timeMs < b.timeMs; });
    int present = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].position = static_cast<int>(i) + 1;
        if (!entries[i].present) {
            continue;  // an injector the controller does not see says nothing of the order
        }
        ++present;
        if (std::fabs(entries[i].timeMs - entries[0].timeMs) > kSimultaneousMs) {
            staggered = true;
        }
    }
    // One injector alone shows no order either way.
    if (present < 2) {
        staggered = true;
    }
    return entries;
}

bool CLPGDevice::readSequence(std::vector<sequence_entry_t>& entries, bool& staggered) {
    frame_t reply;
    if (!command(CMD_SEQUENCE, 0, replyOfType(MSG_TYPE_SEQUENCE, true), reply)) {
        return false;
    }
    std::uint16_t values[8];
    for (int i = 0; i < 8; ++i) {
        values[i] = getU16(reply.payload() + 2 * i);
    }
    entries = decodeSequence(values, staggered, clock());
    return true;
}

bool CLPGDevice::readEepromBlock(eeprom_block_t& block) {
    request_rule_t rule = replyOfType(MSG_TYPE_EEPROM);
    // A late answer to an earlier block read is a well-formed block of another address.
    const std::uint16_t asked = block.address;
    rule.matches = [asked](const frame_t& reply) { return getU16(reply.payload()) == asked; };
    frame_t reply;
    if (!command(CMD_EEPROM, block.address, rule, reply)) {
        return false;
    }
    block.address = getU16(reply.payload());
    std::memcpy(block.data.data(), reply.payload() + 2, block.data.size());
    return true;
}

bool CLPGDevice::writeEepromBlock(const eeprom_block_t& block) {
    std::uint8_t payload[kBufferSize] = {};
    putU16(payload, block.address);
    std::memcpy(payload + 2, block.data.data(), block.data.size());
    return sendRecord(MSG_TYPE_EEPROM, payload, kEepromBlockSize);
}

bool CLPGDevice::readEeprom(std::uint8_t* buffer, std::uint16_t address, std::size_t size) {
    operation_scope_t running(*this);
    transfer_scope_t transfer(transfers_);
    CCommunicationState progress(ui_);
    for (std::size_t offset = 0; offset < size; offset += 8) {
        eeprom_block_t block;
        block.address = static_cast<std::uint16_t>(address + offset);
        if (!readEepromBlock(block)) {
            return false;
        }
        std::memcpy(buffer + offset, block.data.data(), std::min<std::size_t>(8, size - offset));
        progress.set(static_cast<int>(offset * 100 / size));
    }
    return true;
}

bool CLPGDevice::writeEeprom(const std::uint8_t* buffer, std::uint16_t address, std::size_t size) {
    // Counted as one operation, so the port stays open between its blocks.
    operation_scope_t running(*this);
    transfer_scope_t transfer(transfers_);
    CCommunicationState progress(ui_);
    eepromWritten_ = 0;
    for (std::size_t offset = 0; offset < size; offset += 8) {
        eeprom_block_t block;
        block.address = static_cast<std::uint16_t>(address + offset);
        std::memcpy(block.data.data(), buffer + offset, std::min<std::size_t>(8, size - offset));
        if (!writeEepromBlock(block)) {
            return false;
        }
        eepromWritten_ = std::min(offset + 8, size);
        progress.set(static_cast<int>(offset * 100 / size));
    }
    return true;
}

std::uint16_t CLPGDevice::mapCheckWord(const std::uint8_t* map) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kMapSize; ++i) {
        sum += map[i];
    }
    return static_cast<std::uint16_t>(sum);
}

bool CLPGDevice::readMap() {
    std::array<std::uint8_t, kMapAreaSize> area{};
    if (!readEeprom(area.data(), kMapAddress, area.size())) {
        return false;
    }
    std::memcpy(map_.data(), area.data(), kMapSize);
    // The six bytes after the check word have no meaning to the program; they are kept
    // and written back unchanged.
    std::memcpy(mapTail_.data(), area.data() + kMapSize + 2, mapTail_.size());
    return getBE16(area.data() + kMapSize) == mapCheckWord(map_.data());
}

// The six bytes after the check word are not the map's: they are read from the
// controller first and written back as they are, whatever was read before.
bool CLPGDevice::writeMap() {
    eepromWritten_ = 0;  // nothing of this map is in the controller yet
    std::array<std::uint8_t, kMapAreaSize> area{};
    std::uint8_t* tail = area.data() + kMapSize;
    if (!readEeprom(tail, kMapAddress + kMapSize, kMapAreaSize - kMapSize)) {
        return false;
    }
    std::memcpy(mapTail_.data(), tail + 2, mapTail_.size());
    std::memcpy(area.data(), map_.data(), kMapSize);
    putBE16(tail, mapCheckWord(map_.data()));
    return writeEeprom(area.data(), kMapAddress, area.size());
}

bool CLPGDevice::readTimeTable() {
    return readTimeTable(info_.timeTable);
}

bool CLPGDevice::readTimeTable(std::array<double, device_info_t::kTimeTableSize>& into) {
    frame_t reply;
    if (!command(CMD_SETUP_TABLE, 0, replyOfType(MSG_TYPE_TABLE, true), reply)) {
        return false;
    }
    std::array<double, device_info_t::kTimeTableSize> read{};
    for (std::size_t i = 0; i < kTableEntries; ++i) {
        read[i] = static_cast<double>(reply.payload()[i]) - kTableOffset;
    }
    holdTable(read);
    into = read;
    return true;
}

bool CLPGDevice::writeTimeTable() {
    std::uint8_t payload[kBufferSize] = {};
    std::array<double, device_info_t::kTimeTableSize> stored{};
    for (std::size_t i = 0; i < kTableEntries; ++i) {
        // Truncated toward zero; kept within the byte so a wild entry cannot wrap around.
        const double raw = std::trunc(info_.timeTable[i] + kTableOffset);
        payload[i] = static_cast<std::uint8_t>(std::clamp(raw, 0.0, 255.0));
        stored[i] = static_cast<double>(payload[i]) - kTableOffset;
    }
    if (!sendRecord(MSG_TYPE_TABLE, payload, kTableSize)) {
        return false;
    }
    holdTable(stored);
    return true;
}

bool CLPGDevice::readFuelSensor(FuelThresholds& thresholds) {
    frame_t reply;
    if (!command(CMD_FUEL_SENSOR, 0, replyOfType(MSG_TYPE_FUEL_SENSOR), reply)) {
        return false;
    }
    std::memcpy(thresholds.data(), reply.payload(), thresholds.size());
    return true;
}

bool CLPGDevice::writeFuelSensor(const FuelThresholds& thresholds) {
    std::uint8_t payload[kBufferSize] = {};
    std::memcpy(payload, thresholds.data(), thresholds.size());
    return sendRecord(MSG_TYPE_FUEL_SENSOR, payload, kFuelSensorSize);
}

bool CLPGDevice::readFuelLevel(std::uint16_t& value) {
    frame_t reply;
    if (!command(CMD_FUEL_LEVEL, 0, acknowledged(), reply)) {
        return false;
    }
    value = getU16(reply.payload() + kCmdParam);
    return true;
}
