// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/protocol.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>

namespace proto {
namespace {

struct OrderTable {
    std::span<const std::uint8_t> words16;
    std::span<const std::uint8_t> words32;
};

constexpr std::array<std::uint8_t, 10> kDiag16{10, 12, 14, 16, 18, 20, 22, 24, 26, 28};
constexpr std::array<std::uint8_t, 8> kSequence16{0, 2, 4, 6, 8, 10, 12, 14};
constexpr std::array<std::uint8_t, 2> kSetup16{0, 4};
constexpr std::array<std::uint8_t, 2> kCommand16{2, 4};
constexpr std::array<std::uint8_t, 1> kEeprom16{0};
constexpr std::array<std::uint8_t, 2> kVersion16{0, 2};
constexpr std::array<std::uint8_t, 5> kClock32{0, 4, 8, 12, 16};

OrderTable orderOf(std::uint8_t type) {
    switch (type) {
        case MSG_TYPE_DIAG:
            return {kDiag16, {}};
        case MSG_TYPE_SEQUENCE:
            return {kSequence16, {}};
        case MSG_TYPE_SETUP:
            return {kSetup16, {}};
        case MSG_TYPE_COMMAND:
            return {kCommand16, {}};
        case MSG_TYPE_EEPROM:
            return {kEeprom16, {}};
        case MSG_TYPE_VERSION:
            return {kVersion16, {}};
        case MSG_TYPE_CLOCK:
            return {{}, kClock32};
        default:
            return {};
    }
}

template <class T>
void swapField(std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::reverse(p, p + sizeof(T));
    }
}

}  // namespace

std::uint8_t recordSize(std::uint8_t type) {
    switch (type) {
        case MSG_TYPE_DIAG:
            return kDiagSize;
        case MSG_TYPE_SEQUENCE:
            return kSequenceSize;
        case MSG_TYPE_SETUP:
            return kSetupSize;
        case MSG_TYPE_COMMAND:
            return kCommandSize;
        case MSG_TYPE_EEPROM:
            return kEepromBlockSize;
        case MSG_TYPE_ERRORS:
            return kErrorReportSize;
        case MSG_TYPE_TABLE:
            return kTableEntries;
        case MSG_TYPE_VERSION:
            return kVersionSize;
        case MSG_TYPE_FUEL_SENSOR:
            return kFuelSensorSize;
        case MSG_TYPE_CLOCK:
            return kClockSize;
        default:
            return 0;
    }
}

std::uint16_t checkWord(std::uint8_t length, std::uint8_t type, const std::uint8_t* payload) {
    unsigned sum = length + type;
    for (unsigned i = 0; i < length; ++i) {
        sum += payload[i];
    }
    return static_cast<std::uint16_t>(sum);
}

void swapPayloadOrder(std::uint8_t type, std::uint8_t* payload, std::size_t length) {
    const OrderTable table = orderOf(type);
    for (std::uint8_t offset : table.words16) {
        if (offset + 2u <= length) {
            swapField<std::uint16_t>(payload + offset);
        }
    }
    for (std::uint8_t offset : table.words32) {
        if (offset + 4u <= length) {
            swapField<std::uint32_t>(payload + offset);
        }
    }
}

std::size_t buildFrame(std::uint8_t type, const std::uint8_t* payload, std::uint8_t length,
                       std::uint8_t* out) {
    out[0] = kStart1;
    out[1] = kStart2;
    out[2] = length;
    out[3] = type;
    if (length > 0) {
        std::memcpy(out + kHeaderSize, payload, length);
    }
    putBE16(out + kHeaderSize + length, checkWord(length, type, payload));
    return kHeaderSize + length + kCheckSize;
}

}  // namespace proto
