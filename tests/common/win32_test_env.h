// SPDX-License-Identifier: GPL-3.0-or-later
// Given to every test source of the Windows build: the environment calls the tests use,
// under their POSIX names.
#pragma once
#ifdef _WIN32
#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    return (overwrite != 0 || std::getenv(name) == nullptr) ? ::_putenv_s(name, value) : 0;
}
inline int unsetenv(const char* name) {
    return ::_putenv_s(name, "");
}
// Windows folders have no write permission a test could take away: the tests that need
// an unwritable folder are skipped as they are for the Linux superuser.
inline int geteuid() {
    return 0;
}
#endif
