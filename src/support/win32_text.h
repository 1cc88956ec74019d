// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Text at the boundary of the Windows API, which speaks UTF-16: the program's strings are
// UTF-8 throughout. Built for Windows only.
namespace win32_text {

// UTF-8 to UTF-16 and back; invalid bytes become U+FFFD.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

// The system's own text for a GetLastError() number, in the user's language, without
// the trailing line break; "błąd 1234" when the system has none.
std::string systemText(unsigned long error);

// The C library's errno nearest to a GetLastError() number (ENOENT for a missing file
// or folder, EACCES for a refusal, ENOSPC for a full disk, EIO otherwise).
int errnoOf(unsigned long error);

}  // namespace win32_text
