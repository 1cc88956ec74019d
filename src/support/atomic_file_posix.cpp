// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "support/atomic_file_platform.h"

// The POSIX form: fsync, rename, and a sync of the folder so the rename is durable too.
// A symbolic link stays a link: the file it points to is replaced.

namespace {

constexpr int kMaxLinks = 40;  // as many as the system follows in one path

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

}  // namespace

namespace atomic_file_platform {

bool isNotRegular(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

// The new file takes over the old one's owner (where allowed) and permission bits.
void keepAttributes(const CFileHandle& file, const std::string& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        return;  // a new file
    }
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        (void)::fchown(file.descriptor(), old.st_uid, old.st_gid);
    }
    (void)::fchmod(file.descriptor(), old.st_mode & 07777);
}

bool flushToDisk(const CFileHandle& file) {
    return ::fsync(file.descriptor()) == 0;
}

bool moveOver(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    syncFolder(folderOf(to));
    return true;
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

unsigned long long processId() {
    return static_cast<unsigned long long>(::getpid());
}

}  // namespace atomic_file_platform

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
