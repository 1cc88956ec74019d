// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: a failed property aborts (libFuzzer keeps the input), and
// a target that reads files gets one scratch path of its own and writes its input there.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzz {

inline void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A unique path under /tmp named after the target, made once a process.
inline std::string scratchPath(const char* target) {
    std::string path = std::string("/tmp/vapron-") + target + "-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd >= 0) {
        ::close(fd);
    }
    return path;
}

inline void writeWhole(const std::string& path, const void* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    check(fd >= 0);
    const bool whole = ::write(fd, data, size) == static_cast<ssize_t>(size);
    ::close(fd);
    check(whole);
}

}  // namespace fuzz
