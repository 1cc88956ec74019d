// SPDX-License-Identifier: GPL-3.0-or-later
// For the MSVC build only: the descriptor calls of the C library under their POSIX names
// (Microsoft's library has them in <io.h>), as MinGW's own <unistd.h> offers them.
#pragma once
#include <io.h>
#include <process.h>

#define STDIN_FILENO 0
#define STDOUT_FILENO 1
#define STDERR_FILENO 2
#define ftruncate _chsize_s
