// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_archive.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "diag/recording_probe.h"
#include "diag/settings_history.h"
#include "support/local_time.h"
#include "support/utf8_path.h"

namespace {

// Enough for the same second being taken by every run a person could start in it.
constexpr int kMaxSerial = 100;

std::string systemText(int error) {
    return std::generic_category().message(error);
}

}  // namespace

std::string CRecordingArchive::stampedName(const std::string& recording, std::time_t now,
                                           int serial) {
    const std::tm local = localTime(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
    std::string suffix = stamp;
    if (serial > 1) {
        suffix += "-" + std::to_string(serial);
    }
    const std::size_t slash = recording.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = recording.find_last_of('.');
    // A dot that starts the name ("/x/.lpgd") or sits in a folder is no extension.
    if (dot == std::string::npos || dot <= nameStart) {
        return recording + suffix;
    }
    return recording.substr(0, dot) + suffix + recording.substr(dot);
}

bool CRecordingArchive::exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(utf8Path(path), error));
}

// A file with anything in it is kept (a drive, or a file that is no recording), and so
// is a link, which a run would otherwise write through. A folder or FIFO is left for
// the writer to refuse.
bool CRecordingArchive::holdsDrive(const std::string& recording) {
    std::error_code ignored;
    const auto path = utf8Path(recording);
    const auto status = std::filesystem::symlink_status(path, ignored);
    if (std::filesystem::is_symlink(status) ||
        (std::filesystem::is_regular_file(status) &&
         std::filesystem::file_size(path, ignored) > 0 && !ignored)) {
        return true;
    }
    const auto companion = utf8Path(CSettingsHistory::companionName(recording));
    std::error_code error;
    return std::filesystem::is_regular_file(companion, error) &&
           std::filesystem::file_size(companion, error) > 0 && !error;
}

CRecordingArchive::result_t CRecordingArchive::setAside(const std::string& recording,
                                                        std::time_t now) {
    result_t result;
    if (recording.empty() || !holdsDrive(recording)) {
        return result;
    }
    std::string target;
    for (int serial = 1; serial <= kMaxSerial && target.empty(); ++serial) {
        const std::string name = stampedName(recording, now, serial);
        if (!exists(name) && !exists(CSettingsHistory::companionName(name))) {
            target = name;
        }
    }
    if (target.empty()) {
        result.error = "wszystkie nazwy z bieżącą datą są zajęte";
        return result;
    }
    if (exists(recording) && std::rename(recording.c_str(), target.c_str()) != 0) {
        result.error = recording + ": " + systemText(errno);
        return result;
    }
    result.moved = true;
    result.movedTo = target;
    const std::string companion = CSettingsHistory::companionName(recording);
    if (exists(companion) &&
        std::rename(companion.c_str(), CSettingsHistory::companionName(target).c_str()) != 0) {
        // The recording is safe already; the run must not truncate the companion.
        result.error = companion + ": " + systemText(errno);
    }
    return result;
}
