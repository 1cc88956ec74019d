// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_handle.h"

#include <cerrno>
#include <cstdint>
#include <utility>

#include "support/file_io_platform.h"

// What both systems share: ownership, and reads and writes carried on after partial
// transfers. The system calls are in file_io_posix.cpp and file_io_win32.cpp.

CFileHandle::CFileHandle(CFileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

CFileHandle& CFileHandle::operator=(CFileHandle&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

CFileHandle::~CFileHandle() {
    close();
}

CFileHandle::opened_t CFileHandle::openForReading(const std::string& path, CFileIo::Source source) {
    return file_io_platform::openForReading(path, source);
}

CFileHandle::opened_t CFileHandle::openForWriting(const std::string& path, Write mode,
                                                  Permissions permissions) {
    return file_io_platform::openForWriting(path, mode, permissions);
}

bool CFileHandle::close() {
    if (fd_ < 0) {
        return true;
    }
    return file_io_platform::closeFile(std::exchange(fd_, -1));
}

bool CFileHandle::write(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = file_io_platform::writeSome(fd_, p, size);
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

std::ptrdiff_t CFileHandle::read(void* buffer, std::size_t size) {
    return readFrom(buffer, size, -1);
}

std::ptrdiff_t CFileHandle::readAt(void* buffer, std::size_t size, long long offset) const {
    return readFrom(buffer, size, offset);
}

// Reads at the descriptor's position when `offset` is negative.
std::ptrdiff_t CFileHandle::readFrom(void* buffer, std::size_t size, long long offset) const {
    auto* p = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = offset < 0
                              ? file_io_platform::readSome(fd_, p + done, size - done)
                              : file_io_platform::readSomeAt(fd_, p + done, size - done,
                                                             offset + static_cast<long long>(done));
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::ptrdiff_t>(done);
}

long long CFileHandle::size() const {
    return file_io_platform::regularFileSize(fd_);
}

bool CFileHandle::seek(long long offset) {
    return file_io_platform::seekTo(fd_, offset);
}

bool CFileHandle::truncate(long long size) {
    return file_io_platform::truncateTo(fd_, size);
}
