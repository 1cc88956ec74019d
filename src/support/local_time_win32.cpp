// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/local_time.h"

std::tm localTime(std::time_t when) {
    std::tm local{};
    if (localtime_s(&local, &when) != 0) {
        return std::tm{};
    }
    return local;
}
