// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The injection-map file `map write` takes: the JSON that `map read --json` prints
// ({"rows": [[8 numbers] × 50]}, or the bare list of rows), or the text it prints
// (50 lines of 8 numbers separated by tabs or spaces; blank lines are skipped). Every
// row must hold exactly 8 numbers: a short or long row would shift every later value.
class CMapFile {
  public:
    static constexpr int kRows = 50;
    static constexpr int kColumns = 8;
    // Larger than any map file (the JSON of a map is under 10 kB).
    static constexpr std::size_t kMaxFileSize = 1024 * 1024;

    // The 400 percentages row by row, or false with `problem` naming the row at fault.
    static bool parse(const std::string& text, std::vector<double>& values, std::string& problem);

  private:
    static bool parseJson(const std::string& text, std::vector<double>& values,
                          std::string& problem);
    static bool parseText(const std::string& text, std::vector<double>& values,
                          std::string& problem);
};
