// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "frames.h"

// The controller's identity replies as a test scripts them: the version record with its
// enciphered ID, and the clock record with feature word 5 and `frequency` in Hz.
bytes_t versionReply(std::uint16_t days, std::uint16_t version, std::uint8_t injectors,
                     const std::string& id);
bytes_t clockReply(std::uint32_t frequency);
