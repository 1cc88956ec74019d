#pragma once

#include <string>

struct device_info_t;

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

    static car_texts_t fromRecord(const device_info_t& info);
    // Texts longer than their field are cut when the record is written out.
    void toRecord(device_info_t& info) const;

    bool operator==(const car_texts_t&) const = default;
};
