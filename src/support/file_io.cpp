// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_io.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "support/file_handle.h"
#include "support/file_io_platform.h"

// What both systems share: the size limits of whole-file and prefix reads. Opening and
// the descriptor calls are in file_io_posix.cpp and file_io_win32.cpp.

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Appends at most `limit` bytes from the file; false with errno set when reading failed.
bool readUpTo(CFileHandle& file, std::size_t limit, std::vector<std::uint8_t>& bytes) {
    while (bytes.size() < limit) {
        const std::size_t at = bytes.size();
        bytes.resize(at + std::min(kChunk, limit - at));
        const std::ptrdiff_t n = file.read(bytes.data() + at, bytes.size() - at);
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
    auto opened = CFileHandle::openForReading(path, source);
    if (!opened.ok()) {
        return opened.status();
    }
    CFileHandle& file = opened.file();
    result_t result;
    const long long size = file.size();
    if (size >= 0) {
        if (static_cast<std::uint64_t>(size) > maxSize) {
            return failed(Failure::TooLarge);
        }
        result.bytes.reserve(static_cast<std::size_t>(size));
    }
    // One byte past the limit tells a file of exactly maxSize from a longer one.
    if (!readUpTo(file, maxSize + 1, result.bytes)) {
        return failed(Failure::Failed, errno);
    }
    if (result.bytes.size() > maxSize) {
        return failed(Failure::TooLarge);
    }
    return result;
}

CFileIo::result_t CFileIo::readPrefix(const std::string& path, std::size_t size, Source source) {
    auto opened = CFileHandle::openForReading(path, source);
    if (!opened.ok()) {
        return opened.status();
    }
    result_t result;
    result.bytes.resize(size);
    const std::ptrdiff_t n = opened.file().read(result.bytes.data(), size);
    if (n < 0) {
        return failed(Failure::Failed, errno);
    }
    if (static_cast<std::size_t>(n) < size) {
        return failed(Failure::Short);
    }
    return result;
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
