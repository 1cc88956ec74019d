// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstddef>

// The few system calls CFileIo's shared logic (file_io.cpp) needs, in a POSIX form
// (file_io_posix.cpp) and a Windows form (file_io_win32.cpp).
namespace file_io_platform {

// One read or write of at most `size` bytes, repeated after a signal where the system
// has signals; the count, or -1 with errno set.
ssize_t readSome(int fd, void* buffer, std::size_t size);
ssize_t writeSome(int fd, const void* data, std::size_t size);
// One read at `offset`, which other threads' reads of the same descriptor do not move.
ssize_t readSomeAt(int fd, void* buffer, std::size_t size, long long offset);

// The size of the regular file open as `fd`; -1 for a stream or anything else.
long long regularFileSize(int fd);

// What a NotRegular failure names for the second line of a message.
extern const char* const kNotRegularText;

}  // namespace file_io_platform
