// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

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

CFileIo::result_t CFileIo::readFile(const std::string& path, std::size_t maxSize, Source source) {
    result_t result;
    const int fd = openForReading(path, source, result);
    if (fd < 0) {
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > maxSize) {
            ::close(fd);
            return failed(Failure::TooLarge);
        }
        result.bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    // One byte past the limit tells a file of exactly maxSize from a longer one.
    const std::size_t limit = maxSize + 1;
    const bool read = readUpTo(fd, limit, result.bytes);
    const int error = errno;
    ::close(fd);
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
    ::close(fd);
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
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
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
        const ssize_t n = ::read(fd, p + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
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
    return ::close(fd) == 0;
}

long long CFileIo::endOf(int fd) {
    return static_cast<long long>(::lseek(fd, 0, SEEK_END));
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

std::string CFileIo::describe(const result_t& result) {
    switch (result.failure) {
        case Failure::None:
            return {};
        case Failure::Missing:
            return "plik nie istnieje";
        case Failure::NotRegular:
            return "to nie jest zwykły plik (folder, potok FIFO lub urządzenie)";
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
