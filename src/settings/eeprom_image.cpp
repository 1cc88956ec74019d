#include "settings/eeprom_image.h"

#include <cstdio>
#include <memory>

#include "settings/atomic_file.h"

CEepromImage::Result CEepromImage::read(const std::string& path, bytes_t& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        return Result::CannotOpen;
    }
    bytes_t read{};
    if (std::fread(read.data(), 1, read.size(), file.get()) != read.size()) {
        return Result::BadFormat;
    }
    bytes = read;
    return Result::Ok;
}

CEepromImage::Result CEepromImage::write(const std::string& path, const bytes_t& bytes) {
    return CAtomicFile::replace(path, bytes.data(), bytes.size()) ? Result::Ok : Result::CannotOpen;
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
