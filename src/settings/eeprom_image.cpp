// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/eeprom_image.h"

#include <algorithm>

#include "support/atomic_file.h"

CEepromImage::Result CEepromImage::read(const std::string& path, bytes_t& bytes,
                                        CFileIo::Source source, std::string* detail) {
    const CFileIo::result_t read = CFileIo::readPrefix(path, kSize, source);
    if (detail) {
        *detail = CFileIo::describe(read);
    }
    if (!read.ok()) {
        return read.failure == CFileIo::Failure::Short ? Result::BadFormat : Result::CannotOpen;
    }
    std::copy_n(read.bytes.begin(), kSize, bytes.begin());
    return Result::Ok;
}

CEepromImage::Result CEepromImage::write(const std::string& path, const bytes_t& bytes,
                                         std::string* detail) {
    const CFileIo::result_t written = CAtomicFile::replace(path, bytes.data(), bytes.size());
    if (detail) {
        *detail = CFileIo::describe(written);
    }
    return written.ok() ? Result::Ok : Result::CannotOpen;
}

const char* CEepromImage::text(Result result) {
    switch (result) {
        case Result::CannotOpen:
            return kCannotOpenText;
        case Result::BadFormat:
            return kBadFormatText;
        default:
            return "";
    }
}
