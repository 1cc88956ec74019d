// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "support/file_io.h"

// An EEPROM image file: the controller's 512 EEPROM bytes from address 0, raw, no
// header. Longer files are accepted and only their first 512 bytes read.
class CEepromImage {
  public:
    static constexpr std::size_t kSize = 512;
    using bytes_t = std::array<std::uint8_t, kSize>;
    enum class Result { Ok, CannotOpen, BadFormat };

    static constexpr const char* kCannotOpenText = "Nie można otworzyć wskazanego pliku EEPROM!";
    static constexpr const char* kBadFormatText = "Niepoprawny format pliku EEPROM!";
    static constexpr const char* kReadFailedText =
        "Nie można przeczytać pamięci EEPROM urządzenia!";
    static constexpr const char* kWriteFailedText =
        "Nie można zapisać do pamięci EEPROM urządzenia!";

    // Only a regular file unless `source` allows a FIFO or pipe; `detail` gets the reason
    // of a failure in a few words (empty on success).
    static Result read(const std::string& path, bytes_t& bytes,
                       CFileIo::Source source = CFileIo::Source::RegularFile,
                       std::string* detail = nullptr);
    // Replaces the file atomically.
    static Result write(const std::string& path, const bytes_t& bytes,
                        std::string* detail = nullptr);
    static const char* text(Result result);
};
