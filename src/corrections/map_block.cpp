// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/map_block.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "support/split_text.h"

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A pasted field as a percentage; false for anything but a number.
bool fieldPercent(std::string field, double& percent) {
    field = trimmed(field);
    if (!field.empty() && field.back() == '%') {
        field = trimmed(field.substr(0, field.size() - 1));
    }
    if (field.empty()) {
        percent = 0;
        return true;
    }
    std::replace(field.begin(), field.end(), ',', '.');
    char* end = nullptr;
    errno = 0;
    percent = std::strtod(field.c_str(), &end);
    return end == field.c_str() + field.size() && errno == 0 && std::isfinite(percent);
}

}  // namespace

int CMapBlock::cellPercent(double percent) {
    const double clamped =
        std::clamp(percent, double{injmap::kMinPercent}, double{injmap::kMaxPercent});
    return static_cast<int>(std::round(clamped));
}

bool CMapBlock::fits() const {
    return top >= 0 && left >= 0 && rows > 0 && columns > 0 && top + rows <= injmap::kRows &&
           left + columns <= injmap::kColumns;
}

CMapBlock::percent_t CMapBlock::apply(const percent_t& map, Operation operation,
                                      double amount) const {
    percent_t out = map;
    const auto at = [&](int r, int c) { return map[injmap::cellIndex(r, c)]; };
    for (int r = top; r < top + rows; ++r) {
        for (int c = left; c < left + columns; ++c) {
            double value = at(r, c);
            switch (operation) {
                case Operation::Set:
                    value = amount;
                    break;
                case Operation::Add:
                    value += amount;
                    break;
                case Operation::Scale:
                    value *= 1 + amount / 100;
                    break;
                case Operation::Interpolate:
                    if (rows > columns && rows > 1) {
                        const double t = double(r - top) / (rows - 1);
                        value = at(top, c) + t * (at(top + rows - 1, c) - at(top, c));
                    } else if (columns > 1) {
                        const double t = double(c - left) / (columns - 1);
                        value = at(r, left) + t * (at(r, left + columns - 1) - at(r, left));
                    }
                    break;
                case Operation::Smooth: {
                    double sum = 0;
                    int count = 0;
                    for (int y = r - 1; y <= r + 1; ++y) {
                        for (int x = c - 1; x <= c + 1; ++x) {
                            if (contains(y, x)) {
                                sum += at(y, x);
                                ++count;
                            }
                        }
                    }
                    value = sum / count;
                    break;
                }
            }
            out[injmap::cellIndex(r, c)] = cellPercent(value);
        }
    }
    return out;
}

std::string CMapBlock::copy(const percent_t& map) const {
    std::string text;
    for (int r = top; r < top + rows; ++r) {
        for (int c = left; c < left + columns; ++c) {
            text += std::to_string(map[injmap::cellIndex(r, c)]);
            text += c + 1 < left + columns ? '\t' : '\n';
        }
    }
    return text;
}

map_paste_t CMapBlock::parse(const std::string& text, int row, int column) {
    map_paste_t pasted;
    std::vector<std::string> lines = splitText(text, '\n');
    while (!lines.empty() && trimmed(lines.back()).empty()) {
        lines.pop_back();  // the line break a spreadsheet puts after its last row
    }
    std::vector<std::vector<std::string>> fields;
    std::size_t width = 0;
    for (const std::string& line : lines) {
        std::string clean = line;
        if (!clean.empty() && clean.back() == '\r') {
            clean.pop_back();
        }
        fields.push_back(splitText(clean, '\t'));
        width = std::max(width, fields.back().size());
    }
    pasted.block = {row, column, static_cast<int>(fields.size()), static_cast<int>(width)};
    if (fields.empty() || !pasted.block.fits()) {
        pasted.problem = "wklejany blok (" + std::to_string(fields.size()) + " × " +
                         std::to_string(width) + ") nie mieści się w mapie od tej komórki";
        return pasted;
    }
    for (std::size_t r = 0; r < fields.size(); ++r) {
        for (std::size_t c = 0; c < width; ++c) {
            const std::string field = c < fields[r].size() ? fields[r][c] : std::string();
            double percent = 0;
            const std::string where =
                "wiersz " + std::to_string(r + 1) + ", kolumna " + std::to_string(c + 1);
            if (!fieldPercent(field, percent)) {
                pasted.problem = where + ": „" + trimmed(field) + "” nie jest liczbą";
            } else if (percent < injmap::kMinPercent || percent > injmap::kMaxPercent) {
                pasted.problem = where + ": " + trimmed(field) + " jest poza zakresem −100 … 150 %";
            }
            if (!pasted.problem.empty()) {
                pasted.values.clear();
                return pasted;
            }
            pasted.values.push_back(cellPercent(percent));
        }
    }
    return pasted;
}
