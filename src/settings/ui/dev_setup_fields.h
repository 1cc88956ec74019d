// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/setup_fields.h"

// How the settings editor shows one field of the settings record: its label, the text
// after the edit and the name a refusal box gives it. What the field is (its kind, range
// and place in the record) comes from the record's field table.
struct setup_field_def_t {
    const setup_field_t& field;
    const char* label;
    const char* suffix;
    const char* name;
};

// How the editor shows and checks the field `field` of CDevSetupDlg::Field.
const setup_field_def_t& setupFieldDef(int field);
