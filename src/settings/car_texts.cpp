// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/car_texts.h"

#include "link/device_info.h"
#include "settings/cp1250.h"

namespace {

// Each text of the car with its place in the record and its Polish name.
struct car_text_t {
    std::string car_texts_t::*text;
    std::string device_info_t::*record;
    std::size_t size;
    const char* name;
};

constexpr car_text_t kCarTexts[] = {
    {&car_texts_t::make, &device_info_t::make, car_texts_t::kMakeSize, "marka"},
    {&car_texts_t::model, &device_info_t::model, car_texts_t::kModelSize, "model"},
    {&car_texts_t::capacity, &device_info_t::capacity, car_texts_t::kCapacitySize, "pojemność"},
    {&car_texts_t::power, &device_info_t::power, car_texts_t::kPowerSize, "moc"},
    {&car_texts_t::year, &device_info_t::year, car_texts_t::kYearSize, "rok produkcji"},
    {&car_texts_t::injectorsFitted, &device_info_t::injectorsFitted, car_texts_t::kInjectorsSize,
     "wtryskiwacze"},
    {&car_texts_t::calibratedFor, &device_info_t::calibratedFor, car_texts_t::kCalibratedSize,
     "kalibracja"},
};

std::string fitted(const std::string& utf8, std::size_t size) {
    std::string bytes = utf8ToCp1250(utf8);
    if (bytes.size() > size) {
        bytes.resize(size);
    }
    return bytes;
}

}  // namespace

car_texts_t car_texts_t::fromRecord(const device_info_t& info) {
    car_texts_t texts;
    for (const auto& field : kCarTexts) {
        texts.*field.text = cp1250ToUtf8(info.*field.record);
    }
    return texts;
}

void car_texts_t::toRecord(device_info_t& info) const {
    for (const auto& field : kCarTexts) {
        info.*field.record = fitted(this->*field.text, field.size);
    }
}

std::string car_texts_t::tooLong() const {
    for (const auto& field : kCarTexts) {
        if (utf8ToCp1250(this->*field.text).size() > field.size) {
            return std::string(field.name) + " (najwyżej " + std::to_string(field.size) +
                   " znaków)";
        }
    }
    return {};
}
