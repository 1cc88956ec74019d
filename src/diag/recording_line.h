// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "diag/app_msg.h"
#include "diag/sample_fields.h"

// The usual recording line, as the program writes it: the sample's values as plain
// digits parted by tabs or spaces. Shared by the reader and the threads that read a
// large recording ahead of it.
namespace recording_line {

// White space as the C locale knows it: space, tab, line feed, vertical tab, form feed,
// carriage return.
constexpr bool isSpace(std::uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr bool isDigit(std::uint8_t c) {
    return static_cast<unsigned>(c - '0') <= 9u;
}

// One value and the separator after it. Nine digits at most, so the value fits 32
// bits; a wider one is left to the general rules, which check it against the 32-bit
// range. The field keeps the value's low bits. Each column is its own copy of the
// loop, so the branches of one column learn its widths; digits go two at a time.
template <int Column>
bool readColumn(const std::uint8_t*& p, app_msg_t& sample) {
    const std::uint8_t* start = p;
    std::uint32_t value = 0;
    for (;;) {
        const unsigned first = static_cast<unsigned>(p[0]) - '0';
        if (first > 9u) {
            break;
        }
        const unsigned second = static_cast<unsigned>(p[1]) - '0';
        if (second > 9u) {
            value = value * 10 + first;
            ++p;
            break;
        }
        value = value * 100 + first * 10 + second;
        p += 2;
    }
    if (p == start || p - start > 9) {
        return false;
    }
    setSampleField<Column>(sample, value);
    if constexpr (Column + 1 < static_cast<int>(kSampleFieldCount)) {
        if (*p == '\t' && isDigit(p[1])) {
            ++p;  // one tab, as the program writes
            return true;
        }
        if (*p != '\t' && *p != ' ') {
            return false;
        }
        do {
            ++p;
        } while (*p == '\t' || *p == ' ');
    }
    return true;
}

template <int... Columns>
bool readColumns(const std::uint8_t*& p, app_msg_t& sample,
                 std::integer_sequence<int, Columns...>) {
    return (readColumn<Columns>(p, sample) && ...);
}

// A usual line from `p`, which holds no white space, in bytes that end at `limit` with
// a byte that is neither a digit nor white space. Fills the fields of `sample` (the
// others are left as they are), moves `p` past the line and its "\r\n" and counts the
// line break. False, with `p` where it was, for anything else, or for a last value that
// runs into `limit`, where the source may go on.
inline bool readUsualLine(const std::uint8_t*& p, const std::uint8_t* limit, app_msg_t& sample,
                          std::size_t& lineBreaks) {
    const std::uint8_t* at = p;
    if (!readColumns(at, sample, std::make_integer_sequence<int, kSampleFieldCount>{}) ||
        at == limit) {
        return false;
    }
    if (at[0] == '\r' && at[1] == '\n') {
        at += 2;
        ++lineBreaks;
    }
    p = at;
    return true;
}

}  // namespace recording_line
