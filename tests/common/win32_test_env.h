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
#endif
