// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <string>

// The seven texts that describe the car and its installation. The device record holds
// them as Windows-1250 bytes (device_info_t), the screens as UTF-8 (car_texts_t); both
// are this one set of texts.
struct car_description_t {
    std::string make;
    std::string model;
    std::string capacity;
    std::string power;  // KM
    std::string year;
    std::string injectorsFitted;
    std::string calibratedFor;

    car_description_t& car() { return *this; }
    const car_description_t& car() const { return *this; }

    bool operator==(const car_description_t&) const = default;
};

// Each car text with its field's size in the record, in the record's order, and its
// Polish name. A field keeps a terminator, so it holds at most size - 1 bytes.
struct car_text_field_t {
    std::string car_description_t::*member;
    std::size_t size;
    const char* name;

    constexpr std::size_t room() const { return size - 1; }
};

inline constexpr std::array<car_text_field_t, 7> kCarTextFields{{
    {&car_description_t::make, 50, "marka"},
    {&car_description_t::model, 50, "model"},
    {&car_description_t::capacity, 5, "pojemność"},
    {&car_description_t::power, 4, "moc"},
    {&car_description_t::year, 5, "rok produkcji"},
    {&car_description_t::injectorsFitted, 10, "wtryskiwacze"},
    {&car_description_t::calibratedFor, 10, "kalibracja"},
}};

// The room for the text `member` in its record field, in Windows-1250 bytes.
constexpr std::size_t carTextRoom(std::string car_description_t::*member) {
    for (const auto& field : kCarTextFields) {
        if (field.member == member) {
            return field.room();
        }
    }
    return 0;
}
