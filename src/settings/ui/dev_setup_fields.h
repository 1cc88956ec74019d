// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/dev_setup.h"

// How the settings editor shows one bound field of the settings record: its label, the
// text after the edit, the name a refusal box gives it, and how its number is typed.
struct setup_field_def_t {
    enum class Kind { Real, Byte, Integer };

    const char* label;
    const char* suffix;
    const char* name;
    Kind kind;
    double (*get)(const dev_setup_t&);
    void (*set)(dev_setup_t&, double);
};

// How the editor shows and checks the field `field` of CDevSetupDlg::Field.
const setup_field_def_t& setupFieldDef(int field);
