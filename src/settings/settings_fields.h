// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/dev_setup.h"

// The settings record's fields under the names the command-line tool and its JSON use,
// with the label the settings editor shows for each.
struct setup_field_t {
    const char* name;
    const char* label;
    const char* unit;
    bool integral;
    std::function<double(const dev_setup_t&)> get;
    std::function<void(dev_setup_t&, double)> set;
};

const std::vector<setup_field_t>& setupFields();
const setup_field_t* findSetupField(const std::string& name);
