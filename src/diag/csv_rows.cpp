// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/csv_rows.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "diag/sample_fields.h"
#include "link/conversions.h"

namespace {

// What a column shows of its field.
enum class column_kind_t {
    Index,    // the number as it is, too many to keep formatted
    Value,    // the field in its engineering unit
    Mode,     // "LPG" or "Benzyna"
    LpgTime,  // the gasoline time with both corrections applied, in ms
};

struct column_def_t {
    std::string_view label;
    std::string_view field;
    column_kind_t kind;
    int decimals;  // a time tick is 0.025 ms, a pressure step about 1 kPa, a supply
                   // step 0.12 V, a lambda step 0.02 V
};

// The CSV's own columns and order, each taken from the recording's fields by name.
constexpr column_def_t kColumns[] = {
    {"Nr próbki", "index", column_kind_t::Index, 0},
    {"Wtryskiwacz", "injector", column_kind_t::Value, 0},
    {"Tryb", "work_state", column_kind_t::Mode, 0},
    {"Obroty", "rpm_period", column_kind_t::Value, 0},
    {"Czas benz.", "gas_time", column_kind_t::Value, 3},
    {"Czas LPG", "gas_time", column_kind_t::LpgTime, 3},
    {"T. reduktora", "temp_reducer", column_kind_t::Value, 0},
    {"T. LPG", "temp_gas", column_kind_t::Value, 0},
    {"T. wewn.", "temp_internal", column_kind_t::Value, 0},
    {"Ciśn. różnicowe", "pressure", column_kind_t::Value, 1},
    {"Ciśn. 2", "pressure2", column_kind_t::Value, 1},
    {"Ciśn. w kolektorze", "pressure_intake", column_kind_t::Value, 1},
    {"Nap. zas.", "supply", column_kind_t::Value, 2},
    {"Lambda", "lambda", column_kind_t::Value, 3},
};

constexpr bool everyColumnNamesAField() {
    for (const auto& c : kColumns) {
        if (sampleFieldIndex(c.field) == kSampleFieldCount) {
            return false;
        }
    }
    return true;
}
static_assert(everyColumnNamesAField());

// gas_time + time_add - time_sub spans -65535 .. 131070.
constexpr std::uint32_t kLpgTimeBias = 0xFFFF;
constexpr std::size_t kLpgTimeKeys = 3 * 0xFFFF + 1;

// Beyond this no reading makes sense; it keeps the scaled value inside 64 bits.
constexpr double kLargest = 1e15;

}  // namespace

double CCsvRows::convert(sample_conversion_t conversion, std::uint32_t raw) const {
    switch (conversion) {
        case sample_conversion_t::Ticks:
            return clock_.ticksToMs(raw);
        case sample_conversion_t::Period:
            return clock_.periodToRpm(raw);
        case sample_conversion_t::Temperature:
            return conv::rawToTemperature(static_cast<std::uint8_t>(raw));
        case sample_conversion_t::Supply:
            return conv::rawToSupply(raw);
        case sample_conversion_t::Volts8:
            return conv::raw8ToVolts(raw);
        case sample_conversion_t::Pressure:
            return conv::rawToPressure(raw);
        case sample_conversion_t::Count:
        case sample_conversion_t::Mode:
        case sample_conversion_t::InjectorBits:
            break;
    }
    return raw;
}

namespace {

// Fixed point: the value scaled to whole units of its last digit, rounded half away
// from zero, then the decimal mark put in; a value that rounds to zero carries no sign.
char* putNumber(char* out, double value, int decimals, char decimal) {
    static constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0};
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    value = std::clamp(value, -kLargest, kLargest);
    long long scaled = std::llround(value * kScale[decimals]);
    if (scaled < 0) {
        *out++ = '-';
        scaled = -scaled;
    }
    char digits[24];
    const int count =
        static_cast<int>(std::to_chars(digits, digits + sizeof digits, scaled).ptr - digits);
    int whole = count - decimals;
    if (whole <= 0) {
        *out++ = '0';
        whole = 0;
    } else {
        out = std::copy(digits, digits + whole, out);
    }
    if (decimals > 0) {
        *out++ = decimal;
        out = std::fill_n(out, decimals - (count - whole), '0');
        out = std::copy(digits + whole, digits + count, out);
    }
    return out;
}

// Frees what calloc gave: the caches' untouched pages cost no memory.
struct free_t {
    void operator()(void* p) const { std::free(p); }
};

}  // namespace

struct CCsvRows::column_t {
    column_def_t def;
    const sample_field_t* field;
    std::unique_ptr<text_t[], free_t> cache;  // by raw value (LpgTime: biased sum)
};

CCsvRows::CCsvRows(const CControllerClock& clock, char separator, char decimal)
    : clock_(clock), separator_(separator), decimal_(decimal) {
    for (const auto& def : kColumns) {
        const sample_field_t& field = kSampleFields[sampleFieldIndex(def.field)];
        std::size_t keys = 0;
        if (def.kind == column_kind_t::LpgTime) {
            keys = kLpgTimeKeys;
        } else if (def.kind != column_kind_t::Index) {
            keys = std::size_t{1} << (8 * field.width);
        }
        auto* cache = keys > 0 ? static_cast<text_t*>(std::calloc(keys, sizeof(text_t))) : nullptr;
        if (keys > 0 && cache == nullptr) {
            throw std::bad_alloc();
        }
        columns_.push_back({def, &field, std::unique_ptr<text_t[], free_t>(cache)});
    }
}

CCsvRows::~CCsvRows() = default;

std::string CCsvRows::header() const {
    std::string text;
    for (const auto& column : columns_) {
        text += column.def.label;
        if (!column.field->unit.empty()) {
            text += " [";
            text += column.field->unit;
            text += ']';
        }
        text += separator_;
    }
    text.back() = '\r';
    return text + '\n';
}

void CCsvRows::format(const column_t& column, std::uint32_t key, text_t& slot) const {
    char* end = slot.text;
    switch (column.def.kind) {
        case column_kind_t::Mode:
            end = std::copy_n(key == 3 ? "LPG" : "Benzyna", key == 3 ? 3 : 7, end);
            break;
        case column_kind_t::LpgTime:
            end = putNumber(end, clock_.ticksToMs(static_cast<int>(key) - int{kLpgTimeBias}),
                            column.def.decimals, decimal_);
            break;
        case column_kind_t::Index:
        case column_kind_t::Value:
            end = putNumber(end, convert(column.field->conversion, key), column.def.decimals,
                            decimal_);
            break;
    }
    *end++ = separator_;
    slot.length = static_cast<std::uint8_t>(end - slot.text);
}

char* CCsvRows::put(char* out, const app_msg_t& s) {
    for (const column_t& column : columns_) {
        std::uint32_t key;
        switch (column.def.kind) {
            case column_kind_t::Index:
                out = std::to_chars(out, out + 10, s.index).ptr;
                *out++ = separator_;
                continue;
            case column_kind_t::LpgTime:
                key = std::uint32_t{s.gas_time} + s.time_add - s.time_sub + kLpgTimeBias;
                break;
            default:
                key = column.field->get(s);
                break;
        }
        text_t& slot = column.cache[key];
        if (slot.length == 0) {
            format(column, key, slot);
        }
        std::memcpy(out, slot.text, sizeof slot.text);
        out += slot.length;
    }
    out[-1] = '\r';
    *out++ = '\n';
    return out;
}
