// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/car_texts.h"

#include "link/device_info.h"
#include "settings/cp1250.h"

namespace {

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
    for (const auto& field : kCarTextFields) {
        texts.*field.member = cp1250ToUtf8(info.*field.member);
    }
    return texts;
}

void car_texts_t::toRecord(device_info_t& info) const {
    for (const auto& field : kCarTextFields) {
        info.*field.member = fitted(this->*field.member, field.room());
    }
}

std::string car_texts_t::tooLong() const {
    for (const auto& field : kCarTextFields) {
        if (utf8ToCp1250(this->*field.member).size() > field.room()) {
            return std::string(field.name) + " (najwyżej " + std::to_string(field.room()) +
                   " znaków)";
        }
    }
    return {};
}
