// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Windows-1250, the code page of the car texts in settings files, to and from UTF-8.
// Bytes and characters without a counterpart (including malformed UTF-8) become '?'.
std::string cp1250ToUtf8(std::string_view cp1250);
std::string utf8ToCp1250(std::string_view utf8);
