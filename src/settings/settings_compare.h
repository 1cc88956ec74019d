// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "link/dev_setup.h"

struct setup_field_t;

// One setting whose value differs between two records, with both values as text in
// the field's unit ("1.5 ms"). `field` is null for the injector masks.
struct setting_change_t {
    std::string name;
    const setup_field_t* field;
    double a;
    double b;
    std::string aText;
    std::string bText;
};

// The field-by-field comparison of two settings records, in the order of the field
// table, with the injector masks last.
class CSettingsCompare {
  public:
    static std::vector<setting_change_t> differences(const dev_setup_t& a, const dev_setup_t& b);
    // "name: a | b" a line.
    static std::string text(const std::vector<setting_change_t>& changes);
    // The same with the settings editor's labels and Polish units, for the window.
    static std::string labelledText(const std::vector<setting_change_t>& changes);
};
