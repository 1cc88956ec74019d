#include "sim_frames.h"

#include <cstdio>
#include <sstream>

#include "link/protocol.h"

namespace simtest {

Bytes frame(std::uint8_t type, const Bytes& payload) {
    Bytes out(proto::kHeaderSize + payload.size() + proto::kCheckSize);
    proto::buildFrame(type, payload.data(), static_cast<std::uint8_t>(payload.size()), out.data());
    return out;
}

Bytes command(std::uint8_t code, std::uint16_t parameter, std::size_t length) {
    Bytes payload(length, 0);
    payload[proto::kCmdCode] = code;
    proto::putBE16(&payload[proto::kCmdParam], parameter);
    return frame(proto::MSG_TYPE_COMMAND, payload);
}

std::string hex(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    char two[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(two, sizeof two, "%02X", bytes[i]);
        text += (i ? " " : "") + std::string(two);
    }
    return text;
}

std::string hex(const Bytes& bytes) {
    return hex(bytes.data(), bytes.size());
}

Bytes bytes(const std::string& hexText) {
    Bytes out;
    std::istringstream in(hexText);
    std::string pair;
    while (in >> pair) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    return out;
}

}  // namespace simtest
