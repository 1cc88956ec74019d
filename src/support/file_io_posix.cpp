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

int refuse(int fd, CFileIo::result_t& status, CFileIo::Failure failure, int error = 0) {
    if (fd >= 0) {
        ::close(fd);
    }
    status = CFileIo::failed(failure, error);
    return -1;
}

bool setBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
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

}  // namespace file_io_platform

int CFileIo::openForReading(const std::string& path, Source source, result_t& status) {
    status = result_t{};
    struct stat info {};
    if (source == Source::FileOrStream && ::stat(path.c_str(), &info) == 0 &&
        S_ISFIFO(info.st_mode)) {
        return openStream(path, status);
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return refuse(-1, status, openFailure(errno), errno);
    }
    if (::fstat(fd, &info) != 0) {
        return refuse(fd, status, Failure::Failed, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return refuse(fd, status, Failure::NotRegular);
    }
    if (!setBlocking(fd)) {
        return refuse(fd, status, Failure::Failed, errno);
    }
    return fd;
}

// One blocking open: it waits for a writer that has not started yet, and a writer that
// has already written and gone leaves its bytes for this reader. (Opening without
// blocking first would leave a moment with no reader, or wait for a second writer.)
int CFileIo::openStream(const std::string& path, result_t& status) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return refuse(-1, status, openFailure(errno), errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return refuse(fd, status, Failure::Failed, errno);
    }
    if (!S_ISFIFO(info.st_mode) && !S_ISREG(info.st_mode)) {
        return refuse(fd, status, Failure::NotRegular);  // replaced since it was looked at
    }
    return fd;
}

int CFileIo::openForWriting(const std::string& path, int flags, mode_t mode, result_t& status) {
    status = result_t{};
    // Truncation waits for the check: a device or FIFO is never touched.
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (flags & ~O_TRUNC), mode);
    if (fd < 0) {
        return refuse(-1, status, openFailure(errno), errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return refuse(fd, status, Failure::Failed, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return refuse(fd, status, Failure::NotRegular);
    }
    if (((flags & O_TRUNC) != 0 && ::ftruncate(fd, 0) != 0) || !setBlocking(fd)) {
        return refuse(fd, status, Failure::Failed, errno);
    }
    return fd;
}

bool CFileIo::closeFile(int fd) {
    return ::close(fd) == 0;
}

long long CFileIo::endOf(int fd) {
    return static_cast<long long>(::lseek(fd, 0, SEEK_END));
}

bool CFileIo::seekTo(int fd, long long offset) {
    static_assert(sizeof(off_t) >= sizeof(long long), "files past 2 GB need a 64-bit off_t");
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool CFileIo::truncateTo(int fd, long long size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

bool CFileIo::modifiedTime(const std::string& path, std::time_t& when) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    when = info.st_mtime;
    return true;
}
