// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames.h"

#include <cstdio>
#include <sstream>

#include "link/protocol.h"

bytes_t frameBytes(std::uint8_t type, const bytes_t& payload) {
    bytes_t frame(proto::kHeaderSize + payload.size() + proto::kCheckSize);
    proto::buildFrame(type, payload.data(), static_cast<std::uint8_t>(payload.size()),
                      frame.data());
    return frame;
}

bytes_t commandFrame(std::uint8_t code, std::uint16_t parameter, std::size_t length) {
    bytes_t payload(length, 0);
    payload[proto::kCmdCode] = code;
    proto::putBE16(&payload[proto::kCmdParam], parameter);
    return frameBytes(proto::MSG_TYPE_COMMAND, payload);
}

bytes_t commandReply(std::uint8_t code, std::uint16_t parameter, std::uint16_t status) {
    bytes_t payload(proto::kCommandSize, 0);
    payload[proto::kCmdCode] = code;
    proto::putBE16(&payload[proto::kCmdParam], parameter);
    proto::putBE16(&payload[proto::kCmdStatus], status);
    return frameBytes(proto::MSG_TYPE_COMMAND, payload);
}

std::string hexText(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    char two[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(two, sizeof two, "%02X", bytes[i]);
        text += (i ? " " : "") + std::string(two);
    }
    return text;
}

std::string hexText(const bytes_t& bytes) {
    return hexText(bytes.data(), bytes.size());
}

bytes_t hexBytes(const std::string& text) {
    bytes_t out;
    std::istringstream in(text);
    std::string pair;
    while (in >> pair) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    return out;
}
