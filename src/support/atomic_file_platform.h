// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The system calls CAtomicFile's shared bookkeeping (atomic_file.cpp) needs, in a POSIX
// form (atomic_file_posix.cpp) and a Windows form (atomic_file_win32.cpp). Failures
// leave errno set.
namespace atomic_file_platform {

// Something other than a regular file (a folder, a device) stands at `path`.
bool isNotRegular(const std::string& path);
// Creates `name`, which must not exist yet, for writing; the descriptor or -1.
int createNew(const std::string& name);
// The new file opened as `fd` takes over what the file at `target` has to keep.
void keepAttributes(int fd, const std::string& target);
// Every byte written to `fd` is on the disk.
bool flushToDisk(int fd);
// Puts `from` in the place of `to` in one step, durably.
bool moveOver(const std::string& from, const std::string& to);
void removeFile(const std::string& path);
unsigned long long processId();

}  // namespace atomic_file_platform
