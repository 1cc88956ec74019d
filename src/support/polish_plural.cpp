// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/polish_plural.h"

const char* polishForm(long long count, const polish_forms_t& forms) {
    const long long n = count < 0 ? -count : count;
    if (n == 1) {
        return forms.one;
    }
    const long long units = n % 10, tens = n % 100;
    const bool few = units >= 2 && units <= 4 && (tens < 12 || tens > 14);
    return few ? forms.few : forms.many;
}

std::string polishCount(long long count, const polish_forms_t& forms) {
    return std::to_string(count) + " " + polishForm(count, forms);
}
