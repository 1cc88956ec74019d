// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// Frames on the line: AA 55, payload length, frame type, payload, 16-bit byte-sum
// check word (high byte first). Multi-byte payload fields are big-endian on the line.
namespace proto {

constexpr std::uint8_t kStart1 = 0xAA;
constexpr std::uint8_t kStart2 = 0x55;
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kCheckSize = 2;
// Every exchange works in one caller-supplied buffer of this size.
constexpr std::size_t kBufferSize = 410;

enum MsgType : std::uint8_t {
    MSG_TYPE_DIAG = 1,
    MSG_TYPE_SEQUENCE = 2,
    MSG_TYPE_SETUP = 3,
    MSG_TYPE_COMMAND = 4,
    MSG_TYPE_EEPROM = 5,
    MSG_TYPE_ERRORS = 6,
    MSG_TYPE_TABLE = 7,
    MSG_TYPE_VERSION = 8,
    MSG_TYPE_FUEL_SENSOR = 9,
    MSG_TYPE_CLOCK = 10,
};

enum Command : std::uint8_t {
    CMD_WORK_LPG = 1,
    CMD_WORK_GAS = 2,
    CMD_WORK_AUTO = 3,
    CMD_DONE = 4,
    CMD_ERROR = 5,
    CMD_DIAG = 6,
    CMD_SEQUENCE = 7,
    CMD_SETUP = 8,
    CMD_TEST = 9,
    CMD_CLEAR_ERRORS = 10,
    CMD_EEPROM = 11,
    CMD_SETUP_TABLE = 12,
    CMD_VERSION = 13,
    CMD_FUEL_SENSOR = 14,
    CMD_FUEL_LEVEL = 15,
    CMD_CLOCK = 16,
};

// Status word of a command reply (payload offset 4).
enum StatusBit : std::uint16_t {
    STATUS_UNKNOWN_COMMAND = 0x01,
    STATUS_UNKNOWN_FRAME = 0x02,
    STATUS_NO_HEADER = 0x04,
    STATUS_BAD_CHECK = 0x08,
    STATUS_STORED_ERRORS = 0x10,
};

// Payload sizes of the records.
constexpr std::uint8_t kCommandSize = 6;
constexpr std::uint8_t kDiagSize = 30;
constexpr std::uint8_t kSequenceSize = 16;
constexpr std::uint8_t kSetupSize = 26;
constexpr std::uint8_t kEepromBlockSize = 10;
constexpr std::uint8_t kErrorReportSize = 11;
constexpr std::uint8_t kTableSize = 26;
constexpr std::uint8_t kTableEntries = 25;
constexpr std::uint8_t kVersionSize = 21;
constexpr std::uint8_t kFuelSensorSize = 4;
constexpr std::uint8_t kClockSize = 20;

// The record a frame of this type carries (the table's 25 used bytes; 0 for types
// without a record). A reply shorter than its record is not taken as data.
std::uint8_t recordSize(std::uint8_t type);

// Offsets inside a command payload.
constexpr std::size_t kCmdCode = 0;
constexpr std::size_t kCmdParam = 2;
constexpr std::size_t kCmdStatus = 4;

// Sum of the length, the type and the payload bytes, modulo 65536.
std::uint16_t checkWord(std::uint8_t length, std::uint8_t type, const std::uint8_t* payload);

// Converts the multi-byte fields of a payload of the given type between line order and
// host order in place; the same table serves both directions. Fields that would reach
// past `length` are left alone.
void swapPayloadOrder(std::uint8_t type, std::uint8_t* payload, std::size_t length);

// Writes a whole frame (header, payload, check word) into out; returns its size.
// The payload is taken in line order.
std::size_t buildFrame(std::uint8_t type, const std::uint8_t* payload, std::uint8_t length,
                       std::uint8_t* out);

// Host-order helpers for 16-bit fields held in a payload.
inline std::uint16_t getU16(const std::uint8_t* p) {
    std::uint16_t v;
    __builtin_memcpy(&v, p, 2);
    return v;
}
inline void putU16(std::uint8_t* p, std::uint16_t v) {
    __builtin_memcpy(p, &v, 2);
}
inline std::uint32_t getU32(const std::uint8_t* p) {
    std::uint32_t v;
    __builtin_memcpy(&v, p, 4);
    return v;
}
inline void putU32(std::uint8_t* p, std::uint32_t v) {
    __builtin_memcpy(p, &v, 4);
}

// Big-endian (line order) helpers.
inline std::uint16_t getBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline void putBE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
inline std::uint32_t getBE32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}
inline void putBE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

}  // namespace proto
