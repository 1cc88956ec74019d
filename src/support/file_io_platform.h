// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "support/file_handle.h"
#include "support/file_io.h"

// The few system calls CFileHandle and CFileIo's shared logic need, in a POSIX form
// (file_io_posix.cpp) and a Windows form (file_io_win32.cpp). Descriptors appear only
// here and in the handle that owns them.
namespace file_io_platform {

// Opened as CFileHandle::openForReading and openForWriting describe.
CFileHandle::opened_t openForReading(const std::string& path, CFileIo::Source source);
CFileHandle::opened_t openForWriting(const std::string& path, CFileHandle::Write mode,
                                     CFileHandle::Permissions permissions);
bool closeFile(int fd);

// One read or write of at most `size` bytes, repeated after a signal where the system
// has signals; the count, or -1 with errno set.
ssize_t readSome(int fd, void* buffer, std::size_t size);
ssize_t writeSome(int fd, const void* data, std::size_t size);
// One read at `offset`, which other threads' reads of the same descriptor do not move.
ssize_t readSomeAt(int fd, void* buffer, std::size_t size, long long offset);

// The size of the regular file open as `fd`; -1 for a stream or anything else.
long long regularFileSize(int fd);
// False with errno set.
bool seekTo(int fd, long long offset);
bool truncateTo(int fd, long long size);

// What a NotRegular failure names for the second line of a message.
extern const char* const kNotRegularText;

}  // namespace file_io_platform
