// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

struct device_info_t;

// What the settings editor shows of the record's flag bytes and injector masks: the two
// correction boxes, the 12 V box, the gasoline injection type and, per gasoline
// injector, the number of the LPG injector it drives.
struct setup_boxes_t {
    enum InjectionType { FULL_SEQUENCE = 0, NON_SEQUENCE = 1, SEMI_SEQUENCE = 2 };
    static constexpr int kInjectors = 8;

    bool mainCorrection = false;
    bool pressureCorrection = false;
    bool gasoline12V = false;
    int injectionType = FULL_SEQUENCE;
    std::array<int, kInjectors> injectors{1, 2, 3, 4, 5, 6, 7, 8};

    // Boxes from the flags and numbers from the masks; a mask of 0 keeps its number.
    void fromRecord(const device_info_t& info);
    // The record's function flags with the two correction bits after the boxes, bit 0
    // set and bit 2 set when the time-correction table holds any value; the other bits
    // keep their values.
    std::uint8_t functionFlags(const device_info_t& info) const;
    // Built from nothing but the 12 V box and the injection type.
    std::uint8_t injectionFlags() const;
    // Flags, and the masks when they may be edited, into the record (masks that may
    // not be edited stay as read); true when the injection flags changed.
    bool toRecord(device_info_t& info, bool withMasks = true) const;

    // The lowest set bit's injector (1 to 8), or `previous` for an empty mask.
    static int injectorOf(std::uint8_t mask, int previous);
    // The mask of injector 1 to 8; 0 for any other number.
    static std::uint8_t maskOf(int injector);

    bool operator==(const setup_boxes_t&) const = default;
};
