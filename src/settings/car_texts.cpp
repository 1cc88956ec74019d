// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/car_texts.h"

#include "link/device_info.h"
#include "settings/cp1250.h"

car_texts_t car_texts_t::fromRecord(const device_info_t& info) {
    return {cp1250ToUtf8(info.make),         cp1250ToUtf8(info.model),
            cp1250ToUtf8(info.capacity),     cp1250ToUtf8(info.power),
            cp1250ToUtf8(info.year),         cp1250ToUtf8(info.injectorsFitted),
            cp1250ToUtf8(info.calibratedFor)};
}

namespace {

std::string fitted(const std::string& utf8, std::size_t size) {
    std::string bytes = utf8ToCp1250(utf8);
    if (bytes.size() > size) {
        bytes.resize(size);
    }
    return bytes;
}

}  // namespace

void car_texts_t::toRecord(device_info_t& info) const {
    info.make = fitted(make, kMakeSize);
    info.model = fitted(model, kModelSize);
    info.capacity = fitted(capacity, kCapacitySize);
    info.power = fitted(power, kPowerSize);
    info.year = fitted(year, kYearSize);
    info.injectorsFitted = fitted(injectorsFitted, kInjectorsSize);
    info.calibratedFor = fitted(calibratedFor, kCalibratedSize);
}

std::string car_texts_t::tooLong() const {
    const struct {
        const std::string& text;
        std::size_t size;
        const char* name;
    } fields[] = {{make, kMakeSize, "marka"},
                  {model, kModelSize, "model"},
                  {capacity, kCapacitySize, "pojemność"},
                  {power, kPowerSize, "moc"},
                  {year, kYearSize, "rok produkcji"},
                  {injectorsFitted, kInjectorsSize, "wtryskiwacze"},
                  {calibratedFor, kCalibratedSize, "kalibracja"}};
    for (const auto& field : fields) {
        if (utf8ToCp1250(field.text).size() > field.size) {
            return std::string(field.name) + " (najwyżej " + std::to_string(field.size) +
                   " znaków)";
        }
    }
    return {};
}
