// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>

// The calendar time of `when` in the user's time zone, safe while other threads take
// theirs (std::localtime shares one result between them): each system's own reentrant
// call, in local_time_posix.cpp and local_time_win32.cpp. All fields zero when the
// system cannot say.
std::tm localTime(std::time_t when);
