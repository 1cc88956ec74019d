// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/car_description.h"
#include "link/dev_setup.h"

// The controller's persistent data as the PC keeps it: identity, car information,
// settings and time-correction table. Its 1200-byte image (little-endian, IEEE doubles)
// is a car settings file and the unit of a recording's settings history. Car texts
// hold Windows-1250 bytes so that files stay interchangeable with older installations.
// The car description is the base part, so it can be taken or kept as a whole.
struct device_info_t : car_description_t {
    static constexpr std::size_t kSize = 1200;
    static constexpr std::uint16_t kVersion = 4;  // the only firmware this record is for
    static constexpr std::size_t kTimeTableSize = 25;
    // Bytes of the record's own text fields; all but the identity keep a terminator.
    static constexpr std::size_t kIdSize = 16, kTimeStampSize = 40, kNotesSize = 256;

    std::uint16_t version = 0;  // controller firmware version
    std::string id;             // controller identification, all 16 bytes usable
    std::uint8_t injectors = 0;
    double reducerPressure = 0;  // kPa, on LPG
    std::array<std::uint32_t, 5> clock{};
    std::string timeStamp;  // "%d-%m-%Y-%H:%M:%S" of the last store
    std::string notes;
    std::uint32_t recordPosition = 0;  // newest sample index when taken as a snapshot
    dev_setup_t setup;
    std::array<double, kTimeTableSize> timeTable{};

    void clear() { *this = device_info_t{}; }

    // Texts too long for their field are cut; padding and reserved bytes are zero.
    std::array<std::uint8_t, kSize> toBytes() const;
    // Reads kSize bytes. A text ends at its first zero byte or at the end of its field.
    void fromBytes(const std::uint8_t* bytes);

    bool operator==(const device_info_t&) const = default;
};
