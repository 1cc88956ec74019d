// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/memory_preferences.h"

std::string CMemoryPreferences::lastCarFile() {
    return lastCarFile_;
}

void CMemoryPreferences::setLastCarFile(const std::string& path) {
    lastCarFile_ = path;
}
