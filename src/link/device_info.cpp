// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_info.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <tuple>
#include <type_traits>

namespace {

template <class T>
struct is_std_array : std::false_type {};
template <class T, std::size_t N>
struct is_std_array<std::array<T, N>> : std::true_type {};

// The record is the memory image of the old program's structure: each number starts
// at a multiple of its own width (of an element's, for an array), texts anywhere.
constexpr std::size_t alignedUp(std::size_t at, std::size_t alignment) {
    return (at + alignment - 1) / alignment * alignment;
}

template <class T>
constexpr std::size_t elementWidth() {
    if constexpr (is_std_array<T>::value) {
        return sizeof(typename T::value_type);
    } else {
        return sizeof(T);
    }
}

// A number of the image: which member it holds. Its width in the image is the member's
// own (u8, u16, u32, i32, double; arrays element by element).
template <class Owner, class T>
struct number_t {
    T Owner::*member;
    constexpr std::size_t size() const { return sizeof(T); }
    constexpr std::size_t alignment() const { return elementWidth<T>(); }
};

// A text of the image in a field of `bytes`. Texts other than the identity keep a
// terminator in their field, so they hold at most bytes - 1.
struct text_t {
    std::string device_info_t::*member;
    std::size_t bytes;
    bool terminated;
    constexpr std::size_t size() const { return bytes; }
    constexpr std::size_t alignment() const { return 1; }
    constexpr std::size_t room() const { return terminated ? bytes - 1 : bytes; }
};

// The car's texts, one after another.
struct car_texts_block_t {
    constexpr std::size_t size() const {
        std::size_t total = 0;
        for (const auto& field : kCarTextFields) {
            total += field.size;
        }
        return total;
    }
    constexpr std::size_t alignment() const { return 1; }
};

template <class... Fields>
constexpr auto offsetsOf(const std::tuple<Fields...>& fields) {
    std::array<std::size_t, sizeof...(Fields)> at{};
    std::size_t next = 0, i = 0;
    std::apply(
        [&](const auto&... f) {
            ((next = alignedUp(next, f.alignment()), at[i++] = next, next += f.size()), ...);
        },
        fields);
    return at;
}

template <class... Fields>
constexpr std::size_t endOf(const std::tuple<Fields...>& fields) {
    const auto at = offsetsOf(fields);
    return at.back() + std::get<sizeof...(Fields) - 1>(fields).size();
}

template <class Owner, class T>
constexpr number_t<Owner, T> number(T Owner::*member) {
    return {member};
}

// The settings, in the order and widths of the old program's structure.
constexpr auto kSetupFields = std::tuple{
    number(&dev_setup_t::switchSpeed),
    number(&dev_setup_t::switchTemp),
    number(&dev_setup_t::ignitionPulses),
    number(&dev_setup_t::minSupply),
    number(&dev_setup_t::maxInternalTemp),
    number(&dev_setup_t::emulatorDelay),
    number(&dev_setup_t::mainCorrection),
    number(&dev_setup_t::lpgInjDelay),
    number(&dev_setup_t::pressureSlope),
    number(&dev_setup_t::refPressure),
    number(&dev_setup_t::flags),
    number(&dev_setup_t::rpmThreshold),
    number(&dev_setup_t::gasSwitchPressure),
    number(&dev_setup_t::injType),
    number(&dev_setup_t::timeAveraging),
    number(&dev_setup_t::pressureAveraging),
    number(&dev_setup_t::lpgMasks),
};

// The settings as one member of the record, aligned as their widest number.
struct setup_block_t {
    constexpr std::size_t size() const { return endOf(kSetupFields); }
    constexpr std::size_t alignment() const { return sizeof(double); }
};

// The whole record, in order; what follows the last field up to kSize is reserved.
constexpr auto kRecordFields = std::tuple{
    number(&device_info_t::version),
    text_t{&device_info_t::id, device_info_t::kIdSize, false},
    number(&device_info_t::injectors),
    car_texts_block_t{},
    number(&device_info_t::reducerPressure),
    number(&device_info_t::clock),
    text_t{&device_info_t::timeStamp, device_info_t::kTimeStampSize, true},
    text_t{&device_info_t::notes, device_info_t::kNotesSize, true},
    number(&device_info_t::recordPosition),
    setup_block_t{},
    number(&device_info_t::timeTable),
};

constexpr auto kRecordOffsets = offsetsOf(kRecordFields);
constexpr auto kSetupOffsets = offsetsOf(kSetupFields);
// Where files of the old program put them.
static_assert(kRecordOffsets[3] == 19 && kRecordOffsets[4] == 160 && kRecordOffsets[9] == 488 &&
              kRecordOffsets[10] == 600);
static_assert(endOf(kRecordFields) <= device_info_t::kSize);

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

// Every field of `fields` with its offset from `base`.
template <class Visit, class Fields, class Offsets>
void visit(const Visit& visitor, const Fields& fields, const Offsets& offsets, std::size_t base) {
    std::size_t i = 0;
    std::apply([&](const auto&... f) { (visitor(f, base + offsets[i++]), ...); }, fields);
}

// Moves each field between the record and its image: into the image for a const record,
// out of it otherwise.
template <class Info, class Byte>
struct mover_t {
    static constexpr bool kWriting = std::is_const_v<Info>;
    Info& info;
    Byte* image;

    template <class T>
    void number(std::size_t at, T& value) const {
        if constexpr (kWriting) {
            put(image + at, value);
        } else {
            get(image + at, value);
        }
    }
    // A text ends at its first zero byte or at the end of its field.
    template <class Text>
    void text(std::size_t at, Text& value, std::size_t bytes, std::size_t room) const {
        if constexpr (kWriting) {
            std::memcpy(image + at, value.data(), std::min(room, value.size()));
        } else {
            const auto* begin = reinterpret_cast<const char*>(image + at);
            value = std::string(begin, strnlen(begin, bytes));
        }
    }

    template <class Owner, class T>
    void operator()(const number_t<Owner, T>& f, std::size_t at) const {
        if constexpr (std::is_same_v<Owner, dev_setup_t>) {
            number(at, info.setup.*f.member);
        } else {
            number(at, info.*f.member);
        }
    }
    void operator()(const text_t& f, std::size_t at) const {
        text(at, info.*f.member, f.bytes, f.room());
    }
    void operator()(const car_texts_block_t&, std::size_t at) const {
        for (const auto& field : kCarTextFields) {
            text(at, info.*field.member, field.size, field.room());
            at += field.size;
        }
    }
    void operator()(const setup_block_t&, std::size_t at) const {
        visit(*this, kSetupFields, kSetupOffsets, at);
    }
};

}  // namespace

std::array<std::uint8_t, device_info_t::kSize> device_info_t::toBytes() const {
    std::array<std::uint8_t, kSize> image{};
    visit(mover_t<const device_info_t, std::uint8_t>{*this, image.data()}, kRecordFields,
          kRecordOffsets, 0);
    return image;
}

void device_info_t::fromBytes(const std::uint8_t* bytes) {
    visit(mover_t<device_info_t, const std::uint8_t>{*this, bytes}, kRecordFields, kRecordOffsets,
          0);
}
