// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/atomic_file.h"

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "support/win32_text.h"

// The Windows form: the new contents go to a temporary file beside the target, are
// flushed to the disk (FlushFileBuffers), and MoveFileExW puts the file in the target's
// place in one step, writing the folder entry through before it returns.

namespace {

constexpr int kNameAttempts = 100;

std::string tempName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long long mix = static_cast<unsigned long long>(now) ^
                                   (static_cast<unsigned long long>(::_getpid()) << 20) ^
                                   (static_cast<unsigned long long>(counter.fetch_add(1)) << 40);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08llx", mix & 0xFFFFFFFFull);
    return target + suffix;
}

int createTemp(const std::string& target, std::wstring& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = win32_text::widen(tempName(target));
        const int fd =
            ::_wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                     _S_IREAD | _S_IWRITE);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool flushToDisk(int fd) {
    if (::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)))) {
        return true;
    }
    errno = win32_text::errnoOf(::GetLastError());
    return false;
}

}  // namespace

std::string CAtomicFile::followLinks(const std::string& path) {
    // Links are rare in a Windows user's folders; the path is replaced as named.
    return path;
}

CFileIo::result_t CAtomicFile::replace(const std::string& path, const void* data,
                                       std::size_t size) {
    const std::wstring target = win32_text::widen(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        return CFileIo::failed(CFileIo::Failure::NotRegular);
    }
    std::wstring name;
    const int fd = createTemp(path, name);
    if (fd < 0) {
        const int error = errno;
        return CFileIo::failed(
            error == ENOENT ? CFileIo::Failure::Missing : CFileIo::Failure::Failed, error);
    }
    bool ok = CFileIo::writeAll(fd, data, size) && flushToDisk(fd);
    int error = ok ? 0 : errno;
    if (::_close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::MoveFileExW(name.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    error = ok ? win32_text::errnoOf(::GetLastError()) : error;
    ::DeleteFileW(name.c_str());
    return CFileIo::failed(CFileIo::Failure::Failed, error);
}

CAtomicFile::CAtomicFile(const std::string& path) : target_(path) {
    const std::wstring target = win32_text::widen(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        status_ = CFileIo::failed(CFileIo::Failure::NotRegular);
        return;
    }
    std::wstring name;
    fd_ = createTemp(path, name);
    if (fd_ < 0) {
        const int error = errno;
        status_ = CFileIo::failed(
            error == ENOENT ? CFileIo::Failure::Missing : CFileIo::Failure::Failed, error);
        return;
    }
    temp_ = win32_text::narrow(name);
}

CAtomicFile::~CAtomicFile() {
    discard();
}

void CAtomicFile::discard() {
    if (fd_ >= 0) {
        ::_close(fd_);
        ::DeleteFileW(win32_text::widen(temp_).c_str());
        fd_ = -1;
    }
}

bool CAtomicFile::write(const void* data, std::size_t size) {
    if (!status_.ok()) {
        return false;
    }
    if (!CFileIo::writeAll(fd_, data, size)) {
        status_ = CFileIo::failed(CFileIo::Failure::Failed, errno);
        discard();
        return false;
    }
    return true;
}

CFileIo::result_t CAtomicFile::commit() {
    if (!status_.ok()) {
        return status_;
    }
    bool ok = flushToDisk(fd_);
    int error = ok ? 0 : errno;
    if (::_close(fd_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    fd_ = -1;
    const std::wstring temp = win32_text::widen(temp_);
    if (ok && ::MoveFileExW(temp.c_str(), win32_text::widen(target_).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    error = ok ? win32_text::errnoOf(::GetLastError()) : error;
    ::DeleteFileW(temp.c_str());
    status_ = CFileIo::failed(CFileIo::Failure::Failed, error);
    return status_;
}
