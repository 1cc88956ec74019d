// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/atomic_file.h"

#include <io.h>
#include <process.h>
#include <windows.h>

#include "support/atomic_file_platform.h"
#include "support/win32_text.h"

// The Windows form: the new contents are flushed to the disk (FlushFileBuffers), and
// MoveFileExW puts the file in the target's place in one step, writing the folder entry
// through before it returns.

namespace atomic_file_platform {

bool isNotRegular(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(win32_text::widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0;
}

void keepAttributes(const CFileHandle&, const std::string&) {
    // The replaced file's permissions come from its folder on Windows.
}

bool flushToDisk(const CFileHandle& file) {
    if (::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(file.descriptor())))) {
        return true;
    }
    errno = win32_text::errnoOf(::GetLastError());
    return false;
}

bool moveOver(const std::string& from, const std::string& to) {
    if (::MoveFileExW(win32_text::widen(from).c_str(), win32_text::widen(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    errno = win32_text::errnoOf(::GetLastError());
    return false;
}

void removeFile(const std::string& path) {
    ::DeleteFileW(win32_text::widen(path).c_str());
}

unsigned long long processId() {
    return static_cast<unsigned long long>(::_getpid());
}

}  // namespace atomic_file_platform

std::string CAtomicFile::followLinks(const std::string& path) {
    // Links are rare in a Windows user's folders; the path is replaced as named.
    return path;
}
