// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_device_ui.h"

#include <cstdio>

#include "support/console_input.h"

CCliDeviceUi::CCliDeviceUi() : terminal_(CConsoleInput::isTerminal(2)) {}

IDeviceUi::Answer CCliDeviceUi::messageBox(const std::string& text, Icon, Buttons buttons) {
    ++messages_;
    if (!quiet_) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    switch (buttons) {
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

void CCliDeviceUi::setProgress(int percent) {
    if (!terminal_ || percent == lastPercent_) {
        return;
    }
    lastPercent_ = percent;
    if (percent == 0) {
        std::fprintf(stderr, "\r    \r");
    } else {
        std::fprintf(stderr, "\r%3d%%", percent);
    }
    std::fflush(stderr);
}
