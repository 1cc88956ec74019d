// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/settings_source.h"

#include <cerrno>
#include <vector>

#include "diag/settings_history.h"
#include "link/device_info.h"
#include "settings/record_copy.h"
#include "support/file_handle.h"
#include "support/file_io.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string cannotRead(const std::string& path, const std::string& why) {
    return std::string(CRecordCopy::kReadFailedText) + "\n" + path + ": " + why;
}

}  // namespace

CSettingsSource::Problem CSettingsSource::parse(const std::string& text, CSettingsSource& source,
                                                std::string& message) {
    source = CSettingsSource{};
    if (text == "controller") {
        return Problem::None;
    }
    const auto hash = text.rfind('#');
    // A '#' followed by other than digits belongs to the file's name.
    if (hash != std::string::npos && allDigits(text.substr(hash + 1))) {
        const std::string number = text.substr(hash + 1);
        if (number.size() > 5 || std::stoul(number) < 1 || std::stoul(number) > kMaxSnapshot) {
            message = "Podaj po znaku # numer zapisu ustawień od 1 do 10000.\n" + text +
                      ": numer zapisu " + number;
            return Problem::Usage;
        }
        source.kind_ = Kind::Snapshot;
        source.path_ = text.substr(0, hash);
        source.snapshot_ = std::stoul(number);
        return Problem::None;
    }
    if (endsWith(text, CSettingsHistory::kSuffix)) {
        message = "Podaj po znaku # numer zapisu ustawień, np. " + text + "#1.\n" + text +
                  ": brak numeru zapisu";
        return Problem::Usage;
    }
    source.kind_ = Kind::SettingsFile;
    source.path_ = text;
    return Problem::None;
}

std::string CSettingsSource::companionPath() const {
    return endsWith(path_, CSettingsHistory::kSuffix) ? path_
                                                      : CSettingsHistory::companionName(path_);
}

CSettingsSource::Problem CSettingsSource::read(device_info_t& info, std::string& message) const {
    return kind_ == Kind::Snapshot ? readSnapshot(info, message)
                                   : readSettingsFile(path_, info, message);
}

CSettingsSource::Problem CSettingsSource::readSettingsFile(const std::string& path,
                                                           device_info_t& info,
                                                           std::string& message) {
    const CFileIo::result_t read = CFileIo::readPrefix(path, device_info_t::kSize);
    if (!read.ok()) {
        message = cannotRead(path, CFileIo::describe(read));
        return Problem::File;
    }
    device_info_t file{};
    file.fromBytes(read.bytes.data());
    if (file.version != device_info_t::kVersion) {
        message = std::string(CRecordCopy::kOtherVersionText) + "\n" + path + ": wersja rekordu " +
                  std::to_string(file.version) + ", obsługiwana " +
                  std::to_string(device_info_t::kVersion);
        return Problem::File;
    }
    info = file;
    return Problem::None;
}

// Reads no further than the snapshot asked for.
CSettingsSource::Problem CSettingsSource::readSnapshot(device_info_t& info,
                                                       std::string& message) const {
    const std::string path = companionPath();
    auto opened = CFileHandle::openForReading(path);
    if (!opened.ok()) {
        message = cannotRead(path, CFileIo::describe(opened.status()));
        return Problem::File;
    }
    std::vector<std::uint8_t> bytes(snapshot_ * device_info_t::kSize);
    const std::ptrdiff_t got = opened.file().read(bytes.data(), bytes.size());
    if (got < 0) {
        message =
            cannotRead(path, CFileIo::describe(CFileIo::failed(CFileIo::Failure::Failed, errno)));
        return Problem::File;
    }
    std::vector<device_info_t> history;
    const std::size_t count = CSettingsHistory::parseHistory(bytes.data(), got, history);
    if (count < snapshot_) {
        message =
            (count == 0 ? std::string("W pliku nie ma zapisów ustawień.")
                        : "Podaj numer zapisu ustawień od 1 do " + std::to_string(count) + ".") +
            "\n" + path + ": brak zapisu nr " + std::to_string(snapshot_) +
            " (zapisów: " + std::to_string(count) + ")";
        return Problem::File;
    }
    info = history[snapshot_ - 1];
    return Problem::None;
}
