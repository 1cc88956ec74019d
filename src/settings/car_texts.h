// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "link/car_description.h"
#include "link/device_info.h"

// The car description texts as the user sees them (UTF-8). The record holds them as
// Windows-1250 bytes; the conversion happens here, at the record boundary.
struct car_texts_t : car_description_t {
    // Room for each text in its record field, in Windows-1250 bytes (one a character).
    static constexpr std::size_t kMakeSize = carTextRoom(&car_description_t::make),
                                 kModelSize = carTextRoom(&car_description_t::model),
                                 kCapacitySize = carTextRoom(&car_description_t::capacity),
                                 kPowerSize = carTextRoom(&car_description_t::power),
                                 kYearSize = carTextRoom(&car_description_t::year),
                                 kInjectorsSize = carTextRoom(&car_description_t::injectorsFitted),
                                 kCalibratedSize = carTextRoom(&car_description_t::calibratedFor);

    static car_texts_t fromRecord(const device_info_t& info);
    // Texts longer than their field are cut to it, so every name made of them (the car's
    // folder) is made of what the record holds.
    void toRecord(device_info_t& info) const;
    // The Polish name of the first text longer than its field; empty when all fit.
    std::string tooLong() const;

    bool operator==(const car_texts_t&) const = default;
};
