// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "diag/app_msg.h"

// Signal check of one sample before a first installation goes further: the gasoline
// injector signal and both gas-side temperature sensors. Appends one message per failed
// check, in that order, to `text`; true when every check passed.
bool checkSample(const app_msg_t& sample, const CControllerClock& clock, std::string& text);
