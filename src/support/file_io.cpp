// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_io.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "support/file_io_platform.h"

// What both systems share: the size limits of whole-file and prefix reads, and reads
// and writes carried on after partial transfers. Opening and the descriptor calls are in
// file_io_posix.cpp and file_io_win32.cpp.

namespace {

constexpr std::size_t kChunk = 64 * 1024;

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

CFileIo::result_t CFileIo::readFile(const std::string& path, std::size_t maxSize, Source source) {
    result_t result;
    const int fd = openForReading(path, source, result);
    if (fd < 0) {
        return result;
    }
    const long long size = file_io_platform::regularFileSize(fd);
    if (size >= 0) {
        if (static_cast<std::uint64_t>(size) > maxSize) {
            closeFile(fd);
            return failed(Failure::TooLarge);
        }
        result.bytes.reserve(static_cast<std::size_t>(size));
    }
    // One byte past the limit tells a file of exactly maxSize from a longer one.
    const bool read = readUpTo(fd, maxSize + 1, result.bytes);
    const int error = errno;
    closeFile(fd);
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
    closeFile(fd);
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
        const ssize_t n = file_io_platform::writeSome(fd, p, size);
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

long long CFileIo::regularSize(int fd) {
    return file_io_platform::regularFileSize(fd);
}

ssize_t CFileIo::readAll(int fd, void* buffer, std::size_t size) {
    return readAllFrom(fd, buffer, size, -1);
}

ssize_t CFileIo::readAllAt(int fd, void* buffer, std::size_t size, long long offset) {
    return readAllFrom(fd, buffer, size, offset);
}

// Reads at the descriptor's position when `offset` is negative.
ssize_t CFileIo::readAllFrom(int fd, void* buffer, std::size_t size, long long offset) {
    auto* p = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = offset < 0
                              ? file_io_platform::readSome(fd, p + done, size - done)
                              : file_io_platform::readSomeAt(fd, p + done, size - done,
                                                             offset + static_cast<long long>(done));
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

std::string CFileIo::describe(const result_t& result) {
    switch (result.failure) {
        case Failure::None:
            return {};
        case Failure::Missing:
            return "plik nie istnieje";
        case Failure::NotRegular:
            return file_io_platform::kNotRegularText;
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
