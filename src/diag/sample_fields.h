// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "diag/app_msg.h"

// How a stored raw value becomes what the user reads.
enum class sample_conversion_t {
    Count,         // a number as it is (index, injector)
    Mode,          // 3 = LPG, anything else gasoline
    InjectorBits,  // bit i = LPG injector i+1 working
    Ticks,         // timer ticks to ms (timing values)
    Period,        // timer period to rev/min (timing values)
    Temperature,   // NTC curve to °C
    Supply,        // supply divider to V
    Volts8,        // 8-bit ADC to V
    Pressure,      // pressure sensor to kPa
};

// One value a recording line holds for a sample.
struct sample_field_t {
    std::string_view name;  // the app_msg_t member
    std::size_t width;      // bytes the value takes in memory
    std::string_view unit;  // empty for plain numbers
    sample_conversion_t conversion;
    std::uint32_t (*get)(const app_msg_t&);
    void (*set)(app_msg_t&, std::uint32_t);  // keeps the low bits of a wider value
};

namespace sample_fields_detail {
template <auto Member>
constexpr sample_field_t field(std::string_view name, std::string_view unit,
                               sample_conversion_t conversion) {
    using value_t = std::remove_cvref_t<decltype(std::declval<app_msg_t&>().*Member)>;
    return {name,
            sizeof(value_t),
            unit,
            conversion,
            [](const app_msg_t& s) -> std::uint32_t { return s.*Member; },
            [](app_msg_t& s, std::uint32_t v) { s.*Member = static_cast<value_t>(v); }};
}
}  // namespace sample_fields_detail

// The values of a recording line in the order recordings have always held them: the
// additive correction comes before the subtractive one, unlike the payload.
inline constexpr std::array kSampleFields{
    sample_fields_detail::field<&app_msg_t::index>("index", "", sample_conversion_t::Count),
    sample_fields_detail::field<&app_msg_t::injector>("injector", "", sample_conversion_t::Count),
    sample_fields_detail::field<&app_msg_t::work_state>("work_state", "",
                                                        sample_conversion_t::Mode),
    sample_fields_detail::field<&app_msg_t::lpg_injectors>("lpg_injectors", "",
                                                           sample_conversion_t::InjectorBits),
    sample_fields_detail::field<&app_msg_t::rpm_period>("rpm_period", "1/min",
                                                        sample_conversion_t::Period),
    sample_fields_detail::field<&app_msg_t::inj_period>("inj_period", "1/min",
                                                        sample_conversion_t::Period),
    sample_fields_detail::field<&app_msg_t::gas_time>("gas_time", "ms", sample_conversion_t::Ticks),
    sample_fields_detail::field<&app_msg_t::time_add>("time_add", "ms", sample_conversion_t::Ticks),
    sample_fields_detail::field<&app_msg_t::time_sub>("time_sub", "ms", sample_conversion_t::Ticks),
    sample_fields_detail::field<&app_msg_t::time_aux>("time_aux", "ms", sample_conversion_t::Ticks),
    sample_fields_detail::field<&app_msg_t::temp_reducer>("temp_reducer", "°C",
                                                          sample_conversion_t::Temperature),
    sample_fields_detail::field<&app_msg_t::temp_gas>("temp_gas", "°C",
                                                      sample_conversion_t::Temperature),
    sample_fields_detail::field<&app_msg_t::temp_internal>("temp_internal", "°C",
                                                           sample_conversion_t::Temperature),
    sample_fields_detail::field<&app_msg_t::supply>("supply", "V", sample_conversion_t::Supply),
    sample_fields_detail::field<&app_msg_t::lambda>("lambda", "V", sample_conversion_t::Volts8),
    sample_fields_detail::field<&app_msg_t::pressure>("pressure", "kPa",
                                                      sample_conversion_t::Pressure),
    sample_fields_detail::field<&app_msg_t::pressure2>("pressure2", "kPa",
                                                       sample_conversion_t::Pressure),
    sample_fields_detail::field<&app_msg_t::pressure_intake>("pressure_intake", "kPa",
                                                             sample_conversion_t::Pressure),
};

inline constexpr std::size_t kSampleFieldCount = kSampleFields.size();

// Position of a field by name; the count when there is none (a compile error where
// used in a constant expression that needs a field).
constexpr std::size_t sampleFieldIndex(std::string_view name) {
    for (std::size_t i = 0; i < kSampleFields.size(); ++i) {
        if (kSampleFields[i].name == name) {
            return i;
        }
    }
    return kSampleFields.size();
}

// Bytes of every field together, and where each starts, packed in table order.
inline constexpr std::size_t kSampleFieldBytes = [] {
    std::size_t total = 0;
    for (const auto& f : kSampleFields) {
        total += f.width;
    }
    return total;
}();

inline constexpr std::array<std::size_t, kSampleFieldCount> kSampleFieldOffsets = [] {
    std::array<std::size_t, kSampleFieldCount> offsets{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < kSampleFieldCount; ++i) {
        offsets[i] = at;
        at += kSampleFields[i].width;
    }
    return offsets;
}();

// Field I of a sample by its position, with the accessor known at compile time so that
// it is inlined.
template <std::size_t I>
inline std::uint32_t getSampleField(const app_msg_t& sample) {
    constexpr auto get = kSampleFields[I].get;
    return get(sample);
}
template <std::size_t I>
inline void setSampleField(app_msg_t& sample, std::uint32_t value) {
    constexpr auto set = kSampleFields[I].set;
    set(sample, value);
}

// Calls f(std::integral_constant<std::size_t, I>) for every field in order; the calls
// are expanded in place, so each field's accessors are known at compile time.
template <typename F>
constexpr void forEachSampleField(F&& f) {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (f(std::integral_constant<std::size_t, I>{}), ...);
    }
    (std::make_index_sequence<kSampleFieldCount>{});
}
