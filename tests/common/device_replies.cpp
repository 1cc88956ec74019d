// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_replies.h"

#include "link/cipher.h"
#include "link/protocol.h"

using namespace proto;

bytes_t versionReply(std::uint16_t days, std::uint16_t version, std::uint8_t injectors,
                     const std::string& id) {
    bytes_t payload{static_cast<std::uint8_t>(days >> 8), static_cast<std::uint8_t>(days),
                    static_cast<std::uint8_t>(version >> 8), static_cast<std::uint8_t>(version),
                    injectors};
    const CCipher::Block cipher = CCipher::encipherId(id);
    payload.insert(payload.end(), cipher.begin(), cipher.end());
    return frameBytes(MSG_TYPE_VERSION, payload);
}

bytes_t clockReply(std::uint32_t frequency) {
    bytes_t payload(20, 0);
    payload[3] = 0x05;  // feature word 5
    payload[16] = static_cast<std::uint8_t>(frequency >> 24);
    payload[17] = static_cast<std::uint8_t>(frequency >> 16);
    payload[18] = static_cast<std::uint8_t>(frequency >> 8);
    payload[19] = static_cast<std::uint8_t>(frequency);
    return frameBytes(MSG_TYPE_CLOCK, payload);
}
