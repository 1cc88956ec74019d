// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "support/file_handle.h"

// The system calls CAtomicFile's shared bookkeeping (atomic_file.cpp) needs, in a POSIX
// form (atomic_file_posix.cpp) and a Windows form (atomic_file_win32.cpp). Failures
// leave errno set.
namespace atomic_file_platform {

// Something other than a regular file (a folder, a device) stands at `path`.
bool isNotRegular(const std::string& path);
// The new file takes over what the file at `target` has to keep.
void keepAttributes(const CFileHandle& file, const std::string& target);
// Every byte written to the file is on the disk.
bool flushToDisk(const CFileHandle& file);
// Puts `from` in the place of `to` in one step, durably.
bool moveOver(const std::string& from, const std::string& to);
void removeFile(const std::string& path);
unsigned long long processId();

}  // namespace atomic_file_platform
