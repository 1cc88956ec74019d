// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Frames and byte strings for the tests of both ends of the line: requests as the
// program sends them, replies as the controller sends them, and a hex form that keeps
// literal comparisons readable ("AA 55 06 04 …"). Payloads are given in line order.
using bytes_t = std::vector<std::uint8_t>;

// A whole frame (header, payload, check word) around a payload.
bytes_t frameBytes(std::uint8_t type, const bytes_t& payload);
// A command request; `length` is 26 or 30 for the settings and diagnostic requests.
bytes_t commandFrame(std::uint8_t code, std::uint16_t parameter = 0, std::size_t length = 6);
// A type-4 reply: command byte, parameter and status word.
bytes_t commandReply(std::uint8_t code, std::uint16_t parameter = 0, std::uint16_t status = 0);

// "AA 55 06" and back.
std::string hexText(const bytes_t& bytes);
std::string hexText(const std::uint8_t* bytes, std::size_t size);
bytes_t hexBytes(const std::string& text);
