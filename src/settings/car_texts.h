// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "link/device_info.h"

// The seven car description texts as the user sees them (UTF-8). The record holds
// them as Windows-1250 bytes; the conversion happens here, at the record boundary.
struct car_texts_t {
    std::string make;
    std::string model;
    std::string capacity;
    std::string power;  // KM
    std::string year;
    std::string injectorsFitted;
    std::string calibratedFor;

    // Room for each text in its record field, in Windows-1250 bytes (one a character);
    // the field's last byte ends the text.
    static constexpr std::size_t kMakeSize = device_info_t::kMakeText.size - 1,
                                 kModelSize = device_info_t::kModelText.size - 1,
                                 kCapacitySize = device_info_t::kCapacityText.size - 1,
                                 kPowerSize = device_info_t::kPowerText.size - 1,
                                 kYearSize = device_info_t::kYearText.size - 1,
                                 kInjectorsSize = device_info_t::kInjectorsText.size - 1,
                                 kCalibratedSize = device_info_t::kCalibratedText.size - 1;

    static car_texts_t fromRecord(const device_info_t& info);
    // Texts longer than their field are cut to it, so every name made of them (the car's
    // folder) is made of what the record holds.
    void toRecord(device_info_t& info) const;
    // The Polish name of the first text longer than its field; empty when all fit.
    std::string tooLong() const;

    bool operator==(const car_texts_t&) const = default;
};
