// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

constexpr int kMaxLinks = 40;  // as many as the system follows in one path
constexpr int kNameAttempts = 100;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is only durable once the folder entry is on disk too; failure is harmless.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string tempName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long long mix = static_cast<unsigned long long>(now) ^
                                   (static_cast<unsigned long long>(::getpid()) << 20) ^
                                   (static_cast<unsigned long long>(counter.fetch_add(1)) << 40);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08llx", mix & 0xFFFFFFFFull);
    return target + suffix;
}

// Created with 0666 so the umask decides a new file's permissions, as for any document.
int createTemp(const std::string& target, std::string& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = tempName(target);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// The new file takes over the old one's owner (where allowed) and permission bits.
void keepAttributes(int fd, const struct stat& old) {
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        (void)::fchown(fd, old.st_uid, old.st_gid);
    }
    (void)::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

std::string CAtomicFile::followLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0) {
            return current;
        }
        target.resize(static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
    errno = ELOOP;
    return {};
}

CFileIo::result_t CAtomicFile::replace(const std::string& path, const void* data,
                                       std::size_t size) {
    CAtomicFile file(path);
    file.write(data, size);
    return file.commit();
}

CAtomicFile::CAtomicFile(const std::string& path) : target_(followLinks(path)) {
    if (target_.empty()) {
        status_ = CFileIo::failed(CFileIo::Failure::Failed, errno);
        return;
    }
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        status_ = CFileIo::failed(CFileIo::Failure::NotRegular);
        return;
    }
    fd_ = createTemp(target_, temp_);
    if (fd_ < 0) {
        const int error = errno;
        status_ = CFileIo::failed(error == ENOENT || error == ENOTDIR ? CFileIo::Failure::Missing
                                                                      : CFileIo::Failure::Failed,
                                  error);
        return;
    }
    if (exists) {
        keepAttributes(fd_, old);
    }
}

CAtomicFile::~CAtomicFile() {
    discard();
}

void CAtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
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
    bool ok = ::fsync(fd_) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    fd_ = -1;
    if (ok && std::rename(temp_.c_str(), target_.c_str()) == 0) {
        syncFolder(folderOf(target_));
        return {};
    }
    error = ok ? errno : error;
    ::unlink(temp_.c_str());
    status_ = CFileIo::failed(CFileIo::Failure::Failed, error);
    return status_;
}
