// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>

#include "diag/sample_fields.h"

CRecordingWriter::~CRecordingWriter() {
    close();
}

bool CRecordingWriter::open(const std::string& fileName) {
    close();
    errno_ = 0;
    lines_ = 0;
    openFailure_ = {};
    CFileIo::result_t status;
    fd_ = CFileIo::openForWriting(fileName, O_CREAT | O_TRUNC, 0666, status);
    if (fd_ < 0) {
        openFailure_ = status;
        errno_ = status.error;
        return false;
    }
    return true;
}

bool CRecordingWriter::write(const app_msg_t& sample) {
    if (fd_ < 0) {
        errno_ = EBADF;
        return false;
    }
    char line[kMaxLine];
    const std::size_t size = formatLine(sample, line);
    if (!CFileIo::writeAll(fd_, line, size)) {
        errno_ = errno;
        return false;
    }
    ++lines_;
    return true;
}

bool CRecordingWriter::close() {
    if (fd_ < 0) {
        return true;
    }
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) {
        errno_ = errno;
        return false;
    }
    return true;
}

std::size_t CRecordingWriter::formatLine(const app_msg_t& s, char* out) {
    char* at = out;
    forEachSampleField([&](auto i) {
        at = std::to_chars(at, at + 10, getSampleField<i>(s)).ptr;
        *at++ = i + 1 < kSampleFieldCount ? '\t' : '\r';
    });
    *at++ = '\n';
    return static_cast<std::size_t>(at - out);
}

std::string CRecordingWriter::formatLine(const app_msg_t& sample) {
    char line[kMaxLine];
    return std::string(line, formatLine(sample, line));
}
