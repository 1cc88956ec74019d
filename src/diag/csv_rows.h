// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diag/app_msg.h"
#include "diag/sample_fields.h"

// The rows of a recording's CSV: a header, then one row per sample in engineering units
// with the process-wide timing values as they are when the rows object is made. Every
// value is a whole number of its field's raw units, so each distinct raw value is
// formatted once, in fixed point, and copied from then on. Lines end "\r\n".
class CCsvRows {
  public:
    // Fourteen values of at most 22 characters each, and the line end.
    static constexpr std::size_t kMaxRow = 14 * 23 + 2;

    // Times and speeds at `clock`, the recording's.
    explicit CCsvRows(const CControllerClock& clock, char separator = ',', char decimal = '.');
    CCsvRows(const CCsvRows&) = delete;
    CCsvRows& operator=(const CCsvRows&) = delete;
    ~CCsvRows();

    std::string header() const;
    // Writes the row of one sample at `out`, which has room for kMaxRow bytes; returns
    // the end of what was written.
    char* put(char* out, const app_msg_t& sample);

  private:
    struct text_t {
        char text[23];
        std::uint8_t length;  // 0 until formatted
    };
    struct column_t;

    void format(const column_t& column, std::uint32_t key, text_t& slot) const;

    double convert(sample_conversion_t conversion, std::uint32_t raw) const;

    CControllerClock clock_;
    char separator_;
    char decimal_;
    std::vector<column_t> columns_;
};
