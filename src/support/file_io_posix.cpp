// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/file_io_platform.h"

// The POSIX form: descriptors opened without blocking and checked with fstat, so a
// FIFO or device in a file's place is refused before it is read or truncated.

namespace {

CFileIo::Failure openFailure(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return CFileIo::Failure::Missing;
        case EISDIR:
        case ENXIO:  // a FIFO nobody reads, or a device that is not there
            return CFileIo::Failure::NotRegular;
        default:
            return CFileIo::Failure::Failed;
    }
}

CFileHandle::opened_t refuse(int fd, CFileIo::Failure failure, int error = 0) {
    if (fd >= 0) {
        ::close(fd);
    }
    return {CFileIo::failed(failure, error)};
}

bool setBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// One blocking open: it waits for a writer that has not started yet, and a writer that
// has already written and gone leaves its bytes for this reader. (Opening without
// blocking first would leave a moment with no reader, or wait for a second writer.)
CFileHandle::opened_t openStream(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return refuse(-1, openFailure(errno), errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return refuse(fd, CFileIo::Failure::Failed, errno);
    }
    if (!S_ISFIFO(info.st_mode) && !S_ISREG(info.st_mode)) {
        return refuse(fd, CFileIo::Failure::NotRegular);  // replaced since it was looked at
    }
    return {CFileHandle(fd)};
}

// The flags added to O_WRONLY; O_TRUNC is left to truncates(), after the check.
int flagsOf(CFileHandle::Write mode) {
    switch (mode) {
        case CFileHandle::Write::CreateTruncate:
            return O_CREAT;
        case CFileHandle::Write::CreateAppend:
            return O_CREAT | O_APPEND;
        case CFileHandle::Write::TruncateExisting:
            return 0;
        case CFileHandle::Write::CreateNew:
            return O_CREAT | O_EXCL;
    }
    return 0;
}

bool truncates(CFileHandle::Write mode) {
    return mode == CFileHandle::Write::CreateTruncate ||
           mode == CFileHandle::Write::TruncateExisting;
}

}  // namespace

namespace file_io_platform {

const char* const kNotRegularText = "to nie jest zwykły plik (folder, potok FIFO lub urządzenie)";

ssize_t readSome(int fd, void* buffer, std::size_t size) {
    ssize_t n = 0;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

ssize_t readSomeAt(int fd, void* buffer, std::size_t size, long long offset) {
    ssize_t n = 0;
    do {
        n = ::pread(fd, buffer, size, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    return n;
}

ssize_t writeSome(int fd, const void* data, std::size_t size) {
    ssize_t n = 0;
    do {
        n = ::write(fd, data, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

long long regularFileSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    return static_cast<long long>(info.st_size);
}

CFileHandle::opened_t openForReading(const std::string& path, CFileIo::Source source) {
    struct stat info {};
    if (source == CFileIo::Source::FileOrStream && ::stat(path.c_str(), &info) == 0 &&
        S_ISFIFO(info.st_mode)) {
        return openStream(path);
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return refuse(-1, openFailure(errno), errno);
    }
    if (::fstat(fd, &info) != 0) {
        return refuse(fd, CFileIo::Failure::Failed, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return refuse(fd, CFileIo::Failure::NotRegular);
    }
    if (!setBlocking(fd)) {
        return refuse(fd, CFileIo::Failure::Failed, errno);
    }
    return {CFileHandle(fd)};
}

CFileHandle::opened_t openForWriting(const std::string& path, CFileHandle::Write mode,
                                     CFileHandle::Permissions permissions) {
    const mode_t bits = permissions == CFileHandle::Permissions::Document ? 0666 : 0644;
    // Truncation waits for the check: a device or FIFO is never touched.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | flagsOf(mode), bits);
    if (fd < 0) {
        return refuse(-1, openFailure(errno), errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return refuse(fd, CFileIo::Failure::Failed, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return refuse(fd, CFileIo::Failure::NotRegular);
    }
    if ((truncates(mode) && ::ftruncate(fd, 0) != 0) || !setBlocking(fd)) {
        return refuse(fd, CFileIo::Failure::Failed, errno);
    }
    return {CFileHandle(fd)};
}

bool closeFile(int fd) {
    return ::close(fd) == 0;
}

bool seekTo(int fd, long long offset) {
    static_assert(sizeof(off_t) >= sizeof(long long), "files past 2 GB need a 64-bit off_t");
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool truncateTo(int fd, long long size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

}  // namespace file_io_platform

bool CFileIo::modifiedTime(const std::string& path, std::time_t& when) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    when = info.st_mtime;
    return true;
}
