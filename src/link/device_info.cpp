// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_info.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <tuple>
#include <type_traits>

namespace {

// A number field of the image: where it starts and which member it holds. Its width
// in the image is the member's own (u8, u16, u32, i32, double; arrays element by
// element), which is what the old program wrote.
template <class Owner, class T>
struct number_field_t {
    std::size_t offset;
    T Owner::*member;
};

template <class Owner, class T>
constexpr number_field_t<Owner, T> at(std::size_t offset, T Owner::*member) {
    return {offset, member};
}

constexpr auto kRecordNumbers = std::tuple{
    at(0, &device_info_t::version),           at(18, &device_info_t::injectors),
    at(160, &device_info_t::reducerPressure), at(168, &device_info_t::clock),
    at(484, &device_info_t::recordPosition),  at(600, &device_info_t::timeTable),
};

constexpr auto kSetupNumbers = std::tuple{
    at(488, &dev_setup_t::switchSpeed),
    at(496, &dev_setup_t::switchTemp),
    at(504, &dev_setup_t::ignitionPulses),
    at(512, &dev_setup_t::minSupply),
    at(520, &dev_setup_t::maxInternalTemp),
    at(528, &dev_setup_t::emulatorDelay),
    at(536, &dev_setup_t::mainCorrection),
    at(544, &dev_setup_t::lpgInjDelay),
    at(552, &dev_setup_t::pressureSlope),
    at(560, &dev_setup_t::refPressure),
    at(564, &dev_setup_t::flags),
    at(568, &dev_setup_t::rpmThreshold),
    at(576, &dev_setup_t::gasSwitchPressure),
    at(584, &dev_setup_t::injType),
    at(585, &dev_setup_t::timeAveraging),
    at(586, &dev_setup_t::pressureAveraging),
    at(587, &dev_setup_t::lpgMasks),
};

struct text_binding_t {
    device_info_t::text_field_t field;
    std::string device_info_t::*member;
    bool terminated;
};

constexpr text_binding_t kTexts[] = {
    {device_info_t::kIdText, &device_info_t::id, false},
    {device_info_t::kMakeText, &device_info_t::make, true},
    {device_info_t::kModelText, &device_info_t::model, true},
    {device_info_t::kCapacityText, &device_info_t::capacity, true},
    {device_info_t::kPowerText, &device_info_t::power, true},
    {device_info_t::kYearText, &device_info_t::year, true},
    {device_info_t::kInjectorsText, &device_info_t::injectorsFitted, true},
    {device_info_t::kCalibratedText, &device_info_t::calibratedFor, true},
    {device_info_t::kTimeStampText, &device_info_t::timeStamp, true},
    {device_info_t::kNotesText, &device_info_t::notes, true},
};

template <class T>
struct is_std_array : std::false_type {};
template <class T, std::size_t N>
struct is_std_array<std::array<T, N>> : std::true_type {};

// The unsigned word a number is stored as.
template <class T>
struct bits_of {
    using type = std::make_unsigned_t<T>;
};
template <>
struct bits_of<double> {
    using type = std::uint64_t;
};

// Little-endian, independent of the host's layout.
template <class T>
void put(std::uint8_t* at, const T& value) {
    if constexpr (is_std_array<T>::value) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            put(at + i * sizeof(value[0]), value[i]);
        }
    } else {
        using Bits = typename bits_of<T>::type;
        const auto bits = std::bit_cast<Bits>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
    }
}

template <class T>
void get(const std::uint8_t* at, T& value) {
    if constexpr (is_std_array<T>::value) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            get(at + i * sizeof(value[0]), value[i]);
        }
    } else {
        using Bits = typename bits_of<T>::type;
        Bits bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            bits |= static_cast<Bits>(Bits{at[i]} << (8 * i));
        }
        value = std::bit_cast<T>(bits);
    }
}

template <class Owner, class Fields>
void putNumbers(std::uint8_t* image, const Owner& owner, const Fields& fields) {
    std::apply([&](const auto&... f) { (put(image + f.offset, owner.*f.member), ...); }, fields);
}

template <class Owner, class Fields>
void getNumbers(const std::uint8_t* image, Owner& owner, const Fields& fields) {
    std::apply([&](const auto&... f) { (get(image + f.offset, owner.*f.member), ...); }, fields);
}

}  // namespace

std::array<std::uint8_t, device_info_t::kSize> device_info_t::toBytes() const {
    std::array<std::uint8_t, kSize> image{};
    putNumbers(image.data(), *this, kRecordNumbers);
    putNumbers(image.data(), setup, kSetupNumbers);
    for (const auto& text : kTexts) {
        const std::string& value = this->*text.member;
        const std::size_t room = text.terminated ? text.field.size - 1 : text.field.size;
        std::memcpy(image.data() + text.field.offset, value.data(), std::min(room, value.size()));
    }
    return image;
}

void device_info_t::fromBytes(const std::uint8_t* bytes) {
    getNumbers(bytes, *this, kRecordNumbers);
    getNumbers(bytes, setup, kSetupNumbers);
    for (const auto& text : kTexts) {
        const auto* begin = reinterpret_cast<const char*>(bytes + text.field.offset);
        this->*text.member = std::string(begin, strnlen(begin, text.field.size));
    }
}
