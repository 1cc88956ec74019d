// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The three forms a Polish noun takes after a number: "1 komórka", "2 komórki",
// "5 komórek"; in the locative the last two agree ("w 2 komórkach", "w 5 komórkach").
struct polish_forms_t {
    const char* one;   // 1
    const char* few;   // 2-4, 22-24, ... but not 12-14
    const char* many;  // 0, 5-21, 25-31, ...
};

// The form that follows `count`.
const char* polishForm(long long count, const polish_forms_t& forms);

// "2 komórki": the count, a space and its form.
std::string polishCount(long long count, const polish_forms_t& forms);

namespace polish_nouns {
inline constexpr polish_forms_t kCellsIn{"komórce", "komórkach", "komórkach"};
inline constexpr polish_forms_t kColumnsIn{"kolumnie", "kolumnach", "kolumnach"};
inline constexpr polish_forms_t kFiles{"plik", "pliki", "plików"};
}  // namespace polish_nouns
