// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_io.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "support/file_io_platform.h"
#include "support/win32_text.h"

// The Windows form: paths are UTF-8 and opened through their wide form, files in binary
// mode and not inherited by child processes. Windows has no FIFOs in the file system; a
// device or pipe name ("COM1", "NUL", "\\.\pipe\…") is refused where a file is expected.

namespace {

CFileIo::Failure openFailure(int error) {
    return error == ENOENT ? CFileIo::Failure::Missing : CFileIo::Failure::Failed;
}

CFileHandle::opened_t refuse(int fd, CFileIo::Failure failure, int error = 0) {
    if (fd >= 0) {
        ::_close(fd);
    }
    return {CFileIo::failed(failure, error)};
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD fileType(int fd) {
    return ::GetFileType(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
}

// The flags added to _O_WRONLY; truncation is left to truncates(), after the check.
int flagsOf(CFileHandle::Write mode) {
    switch (mode) {
        case CFileHandle::Write::CreateTruncate:
            return _O_CREAT;
        case CFileHandle::Write::CreateAppend:
            return _O_CREAT | _O_APPEND;
        case CFileHandle::Write::TruncateExisting:
            return 0;
        case CFileHandle::Write::CreateNew:
            return _O_CREAT | _O_EXCL;
    }
    return 0;
}

bool truncates(CFileHandle::Write mode) {
    return mode == CFileHandle::Write::CreateTruncate ||
           mode == CFileHandle::Write::TruncateExisting;
}

}  // namespace

namespace file_io_platform {

const char* const kNotRegularText = "to nie jest zwykły plik (folder, potok lub urządzenie)";

ssize_t readSome(int fd, void* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

// A read with its offset in an OVERLAPPED: the handle is not opened for overlapped use,
// so the call completes before it returns.
ssize_t readSomeAt(int fd, void* buffer, std::size_t size, long long offset) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<unsigned long long>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    DWORD got = 0;
    if (!::ReadFile(handle, buffer, static_cast<DWORD>(std::min<std::size_t>(size, INT_MAX)), &got,
                    &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) {
            return 0;
        }
        errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(got);
}

ssize_t writeSome(int fd, const void* data, std::size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

long long regularFileSize(int fd) {
    return fileType(fd) == FILE_TYPE_DISK ? ::_filelengthi64(fd) : -1;
}

CFileHandle::opened_t openForReading(const std::string& path, CFileIo::Source source) {
    const std::wstring wide = win32_text::widen(path);
    if (isFolder(wide)) {
        return refuse(-1, CFileIo::Failure::NotRegular);
    }
    const int fd = ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        return refuse(-1, openFailure(errno), errno);
    }
    const DWORD type = fileType(fd);
    if (type != FILE_TYPE_DISK &&
        !(source == CFileIo::Source::FileOrStream && type == FILE_TYPE_PIPE)) {
        return refuse(fd, CFileIo::Failure::NotRegular);
    }
    return {CFileHandle(fd)};
}

// A file's mode on Windows says only whether it may be written: the owner's write counts.
CFileHandle::opened_t openForWriting(const std::string& path, CFileHandle::Write mode,
                                     CFileHandle::Permissions) {
    const std::wstring wide = win32_text::widen(path);
    if (isFolder(wide)) {
        return refuse(-1, CFileIo::Failure::NotRegular);
    }
    // Truncation waits for the check: a device is never touched.
    const int fd = ::_wopen(wide.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT | flagsOf(mode),
                            _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return refuse(-1, openFailure(errno), errno);
    }
    if (fileType(fd) != FILE_TYPE_DISK) {
        return refuse(fd, CFileIo::Failure::NotRegular);
    }
    if (truncates(mode) && ::_chsize_s(fd, 0) != 0) {
        return refuse(fd, CFileIo::Failure::Failed, errno);
    }
    return {CFileHandle(fd)};
}

bool closeFile(int fd) {
    return ::_close(fd) == 0;
}

bool seekTo(int fd, long long offset) {
    return ::_lseeki64(fd, offset, SEEK_SET) >= 0;
}

bool truncateTo(int fd, long long size) {
    return ::_chsize_s(fd, size) == 0;
}

}  // namespace file_io_platform

bool CFileIo::modifiedTime(const std::string& path, std::time_t& when) {
    struct _stat64 info {};
    if (::_wstat64(win32_text::widen(path).c_str(), &info) != 0) {
        return false;
    }
    when = static_cast<std::time_t>(info.st_mtime);
    return true;
}
