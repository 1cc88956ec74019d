// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/setup_fields.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "link/conversions.h"

namespace {

using Kind = setup_field_t::Kind;

struct range_t {
    double min;
    double max;
    bool maxExcluded = false;
};
constexpr range_t kAnyByte{0, 255};
constexpr range_t kNonZeroByte{1, 255};

struct check_t {
    int order;
    const char* message;
    setup_field_t::ClockBound clockBound = setup_field_t::ClockBound::None;
};
constexpr check_t kNoCheck{0, nullptr};
using Bound = setup_field_t::ClockBound;

template <auto Member>
constexpr Kind kindOf() {
    using T = std::remove_cvref_t<decltype(std::declval<dev_setup_t&>().*Member)>;
    if constexpr (std::is_same_v<T, double>) {
        return Kind::Real;
    } else if constexpr (sizeof(T) == 1) {
        return Kind::Byte;
    } else {
        return Kind::Integer;
    }
}

template <auto Member>
setup_field_t field(const char* name, const char* label, const char* unit, range_t range,
                    check_t check, bool needsRestart = false) {
    using T = std::remove_cvref_t<decltype(std::declval<dev_setup_t&>().*Member)>;
    return {name,
            label,
            unit,
            kindOf<Member>(),
            range.min,
            range.max,
            range.maxExcluded,
            needsRestart,
            check.order,
            check.message,
            check.clockBound,
            [](const dev_setup_t& s) { return static_cast<double>(s.*Member); },
            [](dev_setup_t& s, double v) { s.*Member = static_cast<T>(v); }};
}

}  // namespace

bool setup_field_t::inRange(double value) const {
    return value >= min && (maxExcluded ? value < max : value <= max);
}

bool setup_field_t::fits(double value) const {
    if (kind == Kind::Real) {
        return true;
    }
    const double lowest = kind == Kind::Byte ? 0 : std::numeric_limits<std::int32_t>::min();
    const double highest = kind == Kind::Byte ? 255 : std::numeric_limits<std::int32_t>::max();
    return value == std::floor(value) && value >= lowest && value <= highest;
}

const std::vector<setup_field_t>& setupFields() {
    using S = dev_setup_t;
    static const std::vector<setup_field_t> fields = {
        field<&S::switchSpeed>(
            "switchRpm", "Obroty automatycznego przejścia na LPG", "rev/min", {100, 8000},
            {1, "Błędna wartość prędkości przełączenia na LPG\n", Bound::PeriodInWord}),
        field<&S::switchTemp>("switchTemperature", "Temperatura automatycznego przejścia na LPG",
                              "°C", {0, 100},
                              {2, "Błędna wartość temperatury przełączenia na LPG\n"}),
        field<&S::ignitionPulses>("ignitionPulses", "Ilość zapłonów na cykl", "", kNonZeroByte,
                                  {3, "Błędna wartość ilości impulsów zapłonu na obrót\n"}),
        field<&S::minSupply>("minSupplyVoltage", "Minimalne napięcie zasilania", "V", {9, 15},
                             {4, "Błędna wartość minimalnego napięcia zasilania\n"}),
        field<&S::maxInternalTemp>("maxInternalTemperature", "Maksymalna temperatura wewnętrzna",
                                   "°C", {0, 85},
                                   {5, "Błędna wartość maksymalnej temperatury wewnętrznej\n"}),
        field<&S::emulatorDelay>("emulatorDelay", "Opóźnienie włączenia emulatora", "s", {0, 6},
                                 {12, "Błędna wartość opóźnienia włączenia emulatora\n"}),
        field<&S::mainCorrection>("mainCorrection", "Główna poprawka", "ms", {0, 6},
                                  {6, "Błędna wartość głównej poprawki\n", Bound::TicksInByte}),
        field<&S::lpgInjDelay>("lpgInjectionDelay", "Opóźnienie wtrysku LPG", "ms", {0, 6},
                               {9, "Błędna wartość opóźnienia wtrysku LPG\n", Bound::TicksInWord}),
        field<&S::pressureSlope>("pressureSlope", "Poprawki od ciśnienia różnicowego: nachylenie",
                                 "", {0, 10}, {7, "Błędna wartość nachylenia krzywej ciśnienia\n"}),
        field<&S::refPressure>("referencePressure", "Poprawki od ciśnienia różnicowego: referencja",
                               "kPa", {30, 180}, {8, "Błędna wartość ciśnienia referencyjnego\n"}),
        field<&S::flags>("functionFlags", "Funkcje sterownika", "", kAnyByte, kNoCheck),
        field<&S::rpmThreshold>("rpmThresholdVoltage", "Napięcie progowe dla sygnału obrotów", "V",
                                {0.2, 5, true},
                                {11, "Błędna wartość napięcia progowego dla sygnału obrotów\n"}),
        field<&S::gasSwitchPressure>("gasolinePressure", "Ciśnienie przełączenia na benzynę", "kPa",
                                     {0, 180},
                                     {10, "Błędna wartość ciśnienia przełączenia na benzynę\n"}),
        // The controller reads the injection type only when it starts.
        field<&S::injType>("injectionType", "Typ wtrysku benzynowego", "", kAnyByte, kNoCheck,
                           true),
        field<&S::timeAveraging>("timeAveraging", "Uśrednianie wtrysku benz. po (obrotach)", "",
                                 kNonZeroByte, {13, "Błędna wartość uśredniania czasów wtrysku\n"}),
        field<&S::pressureAveraging>("pressureAveraging", "Uśrednianie ciśnienia po (obrotach)", "",
                                     kNonZeroByte, {14, "Błędna wartość uśredniania ciśnienia\n"}),
    };
    return fields;
}

const setup_field_t* findSetupField(const std::string& name) {
    for (const auto& f : setupFields()) {
        if (name == f.name) {
            return &f;
        }
    }
    return nullptr;
}

bool setupNeedsRestart(const dev_setup_t& before, const dev_setup_t& after) {
    for (const auto& f : setupFields()) {
        if (f.needsRestart && f.get(before) != f.get(after)) {
            return true;
        }
    }
    return false;
}

namespace {

// Read-back conversions leave a trace of binary rounding (1.2000000000000002).
bool sameStored(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

std::string polishValue(const setup_field_t& field, double value) {
    std::string unit = field.unit;
    if (unit == "rev/min") {
        unit = "obr/min";
    }
    const std::string number = conv::polishNumber(value, 3);
    return unit.empty() ? number : number + " " + unit;
}

}  // namespace

std::vector<std::string> storedOtherwise(const dev_setup_t& typed, const dev_setup_t& stored) {
    std::vector<std::string> lines;
    for (const auto& f : setupFields()) {
        const double asked = f.get(typed), kept = f.get(stored);
        if (!sameStored(asked, kept)) {
            lines.push_back(std::string(f.label) + ": sterownik zapisał " + polishValue(f, kept) +
                            " zamiast " + polishValue(f, asked));
        }
    }
    return lines;
}
