#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Frames for talking to the simulated controller in tests, and a hex form of byte
// strings that makes literal comparisons readable ("AA 55 06 04 …").
namespace simtest {

using Bytes = std::vector<std::uint8_t>;

// A whole frame around a payload given in line order.
Bytes frame(std::uint8_t type, const Bytes& payload);
// A command request; `length` is 26 or 30 for the settings and diagnostic requests.
Bytes command(std::uint8_t code, std::uint16_t parameter = 0, std::size_t length = 6);
// "AA 55 06" and the like.
std::string hex(const Bytes& bytes);
std::string hex(const std::uint8_t* bytes, std::size_t size);
Bytes bytes(const std::string& hexText);

}  // namespace simtest
