// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_writer.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <utility>

#include "diag/sample_fields.h"

CRecordingWriter::~CRecordingWriter() {
    close();
}

bool CRecordingWriter::open(const std::string& fileName) {
    close();
    errno_ = 0;
    lines_ = 0;
    openFailure_ = {};
    auto opened = CFileHandle::openForWriting(fileName, CFileHandle::Write::CreateTruncate);
    if (!opened.ok()) {
        openFailure_ = opened.status();
        errno_ = openFailure_.error;
        return false;
    }
    file_ = std::move(opened.file());
    return true;
}

bool CRecordingWriter::write(const app_msg_t& sample) {
    if (!file_.isOpen()) {
        errno_ = EBADF;
        return false;
    }
    char line[kMaxLine];
    const std::size_t size = formatLine(sample, line);
    if (!file_.write(line, size)) {
        errno_ = errno;
        return false;
    }
    ++lines_;
    return true;
}

bool CRecordingWriter::close() {
    if (!file_.close()) {
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
