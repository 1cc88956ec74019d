// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_io.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>

#include "support/win32_text.h"

// The Windows form: paths are UTF-8 and opened through their wide form, files in binary
// mode and not inherited by child processes. Windows has no FIFOs in the file system; a
// device or pipe name ("COM1", "NUL", "\\.\pipe\…") is refused where a file is expected.

namespace {

constexpr std::size_t kChunk = 64 * 1024;

CFileIo::Failure openFailure(int error) {
    return error == ENOENT ? CFileIo::Failure::Missing : CFileIo::Failure::Failed;
}

int refuse(int fd, CFileIo::result_t& status, CFileIo::Failure failure, int error = 0) {
    if (fd >= 0) {
        ::_close(fd);
    }
    status = CFileIo::failed(failure, error);
    return -1;
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD fileType(int fd) {
    return ::GetFileType(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
}

// Appends at most `limit` bytes from fd; false with errno set when reading failed.
bool readUpTo(int fd, std::size_t limit, std::vector<std::uint8_t>& bytes) {
    while (bytes.size() < limit) {
        const std::size_t at = bytes.size();
        bytes.resize(at + std::min(kChunk, limit - at));
        const ssize_t n = CFileIo::readAll(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0) {
            bytes.resize(at);
            return false;
        }
        bytes.resize(at + static_cast<std::size_t>(n));
        if (bytes.size() < at + std::min(kChunk, limit - at)) {
            break;  // the end of the file
        }
    }
    return true;
}

}  // namespace

CFileIo::result_t CFileIo::failed(Failure failure, int error) {
    result_t result;
    result.failure = failure;
    result.error = error;
    return result;
}

int CFileIo::openForReading(const std::string& path, Source source, result_t& status) {
    status = result_t{};
    const std::wstring wide = win32_text::widen(path);
    if (isFolder(wide)) {
        return refuse(-1, status, Failure::NotRegular);
    }
    const int fd = ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        return refuse(-1, status, openFailure(errno), errno);
    }
    const DWORD type = fileType(fd);
    if (type != FILE_TYPE_DISK && !(source == Source::FileOrStream && type == FILE_TYPE_PIPE)) {
        return refuse(fd, status, Failure::NotRegular);
    }
    return fd;
}

int CFileIo::openStream(const std::string& path, result_t& status) {
    return openForReading(path, Source::FileOrStream, status);
}

int CFileIo::openForWriting(const std::string& path, int flags, mode_t mode, result_t& status) {
    status = result_t{};
    const std::wstring wide = win32_text::widen(path);
    if (isFolder(wide)) {
        return refuse(-1, status, Failure::NotRegular);
    }
    const int permission = (mode & 0200) != 0 ? _S_IREAD | _S_IWRITE : _S_IREAD;
    // Truncation waits for the check: a device is never touched.
    const int fd = ::_wopen(wide.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT | (flags & ~O_TRUNC),
                            permission);
    if (fd < 0) {
        return refuse(-1, status, openFailure(errno), errno);
    }
    if (fileType(fd) != FILE_TYPE_DISK) {
        return refuse(fd, status, Failure::NotRegular);
    }
    if ((flags & O_TRUNC) != 0 && ::_chsize_s(fd, 0) != 0) {
        return refuse(fd, status, Failure::Failed, errno);
    }
    return fd;
}

CFileIo::result_t CFileIo::readFile(const std::string& path, std::size_t maxSize, Source source) {
    result_t result;
    const int fd = openForReading(path, source, result);
    if (fd < 0) {
        return result;
    }
    const long long size = fileType(fd) == FILE_TYPE_DISK ? ::_filelengthi64(fd) : -1;
    if (size >= 0) {
        if (static_cast<std::uint64_t>(size) > maxSize) {
            ::_close(fd);
            return failed(Failure::TooLarge);
        }
        result.bytes.reserve(static_cast<std::size_t>(size));
    }
    // One byte past the limit tells a file of exactly maxSize from a longer one.
    const bool read = readUpTo(fd, maxSize + 1, result.bytes);
    const int error = errno;
    ::_close(fd);
    if (!read) {
        return failed(Failure::Failed, error);
    }
    if (result.bytes.size() > maxSize) {
        return failed(Failure::TooLarge);
    }
    return result;
}

CFileIo::result_t CFileIo::readPrefix(const std::string& path, std::size_t size, Source source) {
    result_t result;
    const int fd = openForReading(path, source, result);
    if (fd < 0) {
        return result;
    }
    result.bytes.resize(size);
    const ssize_t n = readAll(fd, result.bytes.data(), size);
    const int error = errno;
    ::_close(fd);
    if (n < 0) {
        return failed(Failure::Failed, error);
    }
    if (static_cast<std::size_t>(n) < size) {
        return failed(Failure::Short);
    }
    return result;
}

bool CFileIo::writeAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const unsigned part = static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
        const int n = ::_write(fd, p, part);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;  // nothing taken and no reason given: the medium is full
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

ssize_t CFileIo::readAll(int fd, void* buffer, std::size_t size) {
    auto* p = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const unsigned part = static_cast<unsigned>(std::min<std::size_t>(size - done, INT_MAX));
        const int n = ::_read(fd, p + done, part);
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

bool CFileIo::closeFile(int fd) {
    return ::_close(fd) == 0;
}

long long CFileIo::endOf(int fd) {
    return ::_lseeki64(fd, 0, SEEK_END);
}

bool CFileIo::truncateTo(int fd, long long size) {
    return ::_chsize_s(fd, size) == 0;
}

bool CFileIo::modifiedTime(const std::string& path, std::time_t& when) {
    struct _stat64 info {};
    if (::_wstat64(win32_text::widen(path).c_str(), &info) != 0) {
        return false;
    }
    when = static_cast<std::time_t>(info.st_mtime);
    return true;
}

std::string CFileIo::describe(const result_t& result) {
    switch (result.failure) {
        case Failure::None:
            return {};
        case Failure::Missing:
            return "plik nie istnieje";
        case Failure::NotRegular:
            return "to nie jest zwykły plik (folder, potok lub urządzenie)";
        case Failure::TooLarge:
            return "plik jest za duży";
        case Failure::Short:
            return "plik jest za krótki";
        case Failure::Failed:
            break;
    }
    return "błąd systemu: " + std::generic_category().message(result.error) + " (errno " +
           std::to_string(result.error) + ")";
}
