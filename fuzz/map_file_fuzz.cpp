// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary text to the reader of injection-map files (the JSON of `map read
// --json`, its bare list of rows, or 50 lines of 8 numbers). A map that is taken holds
// 400 finite percentages and reads back the same from its text form; one that is refused
// says why.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/map_file.h"
#include "fuzz_support.h"

namespace {

using fuzz::check;

std::string asText(const std::vector<double>& values) {
    std::string text;
    char number[32];
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::snprintf(number, sizeof number, "%.17g", values[i]);
        text += number;
        text += (i + 1) % CMapFile::kColumns == 0 ? "\n" : "\t";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<double> values;
    std::string problem;
    if (!CMapFile::parse(text, values, problem)) {
        check(!problem.empty());
        return 0;
    }
    check(values.size() == std::size_t{CMapFile::kRows} * CMapFile::kColumns);
    for (double value : values) {
        check(std::isfinite(value));
    }
    std::vector<double> again;
    check(CMapFile::parse(asText(values), again, problem));
    check(again == values);
    return 0;
}
