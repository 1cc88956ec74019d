// SPDX-License-Identifier: GPL-3.0-or-later
// Given to every source by the MSVC build (/FI): the few GNU and POSIX names the core
// uses that Microsoft's compiler and C library spell differently.
#pragma once
#ifdef _MSC_VER
#include <sys/stat.h>
#include <cstddef>
#include <cstring>

using ssize_t = std::ptrdiff_t;
using mode_t = unsigned short;
#define __builtin_unreachable() __assume(0)
#define __builtin_memcpy std::memcpy
#ifndef S_ISREG
#define S_ISREG(m) (((m)&_S_IFMT) == _S_IFREG)
#endif
#endif
