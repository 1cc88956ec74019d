// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <utility>

#include "support/atomic_file_platform.h"

// What both systems share: the temporary file's name, and the bookkeeping of a streaming
// write up to the commit. The system calls are in atomic_file_posix.cpp and
// atomic_file_win32.cpp.

namespace {

constexpr int kNameAttempts = 100;

std::string tempName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long long mix = static_cast<unsigned long long>(now) ^
                                   (atomic_file_platform::processId() << 20) ^
                                   (static_cast<unsigned long long>(counter.fetch_add(1)) << 40);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08llx", mix & 0xFFFFFFFFull);
    return target + suffix;
}

// A new file, as any document (0666 less the umask), under a name no other file has;
// the last attempt's failure after too many.
CFileHandle::opened_t createTemp(const std::string& target, std::string& name) {
    for (int attempt = 1;; ++attempt) {
        name = tempName(target);
        auto opened = CFileHandle::openForWriting(name, CFileHandle::Write::CreateNew);
        if (opened.ok() || opened.status().error != EEXIST || attempt == kNameAttempts) {
            return opened;
        }
    }
}

}  // namespace

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
    if (atomic_file_platform::isNotRegular(target_)) {
        status_ = CFileIo::failed(CFileIo::Failure::NotRegular);
        return;
    }
    auto opened = createTemp(target_, temp_);
    if (!opened.ok()) {
        status_ = opened.status();
        return;
    }
    file_ = std::move(opened.file());
    atomic_file_platform::keepAttributes(file_, target_);
}

CAtomicFile::~CAtomicFile() {
    discard();
}

void CAtomicFile::discard() {
    if (file_.isOpen()) {
        file_.close();
        atomic_file_platform::removeFile(temp_);
    }
}

bool CAtomicFile::write(const void* data, std::size_t size) {
    if (!status_.ok()) {
        return false;
    }
    if (!file_.write(data, size)) {
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
    bool ok = atomic_file_platform::flushToDisk(file_);
    int error = ok ? 0 : errno;
    if (!file_.close() && ok) {
        ok = false;
        error = errno;
    }
    if (ok && atomic_file_platform::moveOver(temp_, target_)) {
        return {};
    }
    error = ok ? errno : error;
    atomic_file_platform::removeFile(temp_);
    status_ = CFileIo::failed(CFileIo::Failure::Failed, error);
    return status_;
}
