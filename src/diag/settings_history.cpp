// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/settings_history.h"

#include "diag/recording_probe.h"

#include <algorithm>

#include "support/file_handle.h"
#include "support/local_time.h"

namespace {

// Settings are written a few times in a recording; a companion holding more snapshots
// than this (12 MB) is not one of ours, and the rest of it is not read.
constexpr std::size_t kMaxSnapshots = 10000;
// The controller clock record's fifth word is its timer frequency.
constexpr std::size_t kFrequencyWord = 4;

}  // namespace

std::string CSettingsHistory::companionName(const std::string& recordingName) {
    return recordingName + kSuffix;
}

bool CSettingsHistory::truncate(const std::string& recordingName) {
    if (recordingName.empty()) {
        return false;  // "-config" alone would land in the current folder
    }
    auto opened = CFileHandle::openForWriting(companionName(recordingName),
                                              CFileHandle::Write::CreateTruncate);
    return opened.ok() && opened.file().close();
}

bool CSettingsHistory::startRun(const std::string& recordingName, const device_info_t& info) {
    return startRun(recordingName, info, std::time(nullptr));
}

bool CSettingsHistory::startRun(const std::string& recordingName, const device_info_t& info,
                                std::time_t now) {
    if (!truncate(recordingName)) {
        return false;
    }
    if (info.version != device_info_t::kVersion) {
        return true;
    }
    device_info_t start = info;
    start.timeStamp = timeText(now);
    start.recordPosition = 0;
    return appendImage(companionName(recordingName), start.toBytes().data());
}

std::optional<CControllerClock> CSettingsHistory::clockOf(const std::string& recordingName) {
    std::vector<device_info_t> history;
    readHistory(recordingName, history);
    const std::optional<std::uint32_t> last =
        history.empty() ? std::nullopt : CRecordingProbe::lastIndex(recordingName);
    for (const device_info_t& snapshot : history) {
        const bool afterTheRun =
            snapshot.recordPosition != 0 && last && snapshot.recordPosition >= *last;
        if (snapshot.clock[kFrequencyWord] != 0 && !afterTheRun) {
            return CControllerClock::of(snapshot.clock[kFrequencyWord]);
        }
    }
    return std::nullopt;
}

bool CSettingsHistory::appendSnapshot(const std::string& recordingName, device_info_t& info,
                                      const CDiagData& store) {
    return appendSnapshot(recordingName, info, store, std::time(nullptr));
}

bool CSettingsHistory::appendSnapshot(const std::string& recordingName, device_info_t& info,
                                      const CDiagData& store, std::time_t now) {
    app_msg_t newest;
    if (recordingName.empty() || !store.getLast(&newest)) {
        return false;
    }
    // Only the 19 characters of the stamp go over the field; whatever followed them in
    // the record stays, as it always has in these files.
    const std::string stamp = timeText(now);
    const std::string tail =
        info.timeStamp.size() > stamp.size() ? info.timeStamp.substr(stamp.size()) : "";
    info.timeStamp = stamp + tail;
    info.recordPosition = newest.index;
    const auto image = info.toBytes();
    return appendImage(companionName(recordingName), image.data());
}

std::string CSettingsHistory::timeText(std::time_t now) {
    const std::tm local = localTime(now);
    char text[64];
    const std::size_t size = std::strftime(text, sizeof text, "%d-%m-%Y-%H:%M:%S", &local);
    return std::string(text, std::min(size, kTimeTextSize));
}

bool CSettingsHistory::appendImage(const std::string& fileName, const std::uint8_t* image) {
    auto opened = CFileHandle::openForWriting(fileName, CFileHandle::Write::CreateAppend);
    if (!opened.ok()) {
        return false;
    }
    CFileHandle& file = opened.file();
    const long long before = file.size();
    bool ok = file.write(image, device_info_t::kSize);
    if (!ok && before >= 0) {
        // A part record would shift every later snapshot; take it back.
        (void)file.truncate(before);
    }
    ok = file.close() && ok;
    return ok;
}

bool CSettingsHistory::readHistory(const std::string& recordingName,
                                   std::vector<device_info_t>& history) {
    if (recordingName.empty()) {
        return false;
    }
    auto opened = CFileHandle::openForReading(companionName(recordingName));
    if (!opened.ok()) {
        return false;
    }
    const std::size_t before = history.size();
    std::uint8_t image[device_info_t::kSize];
    while (history.size() - before < kMaxSnapshots &&
           opened.file().read(image, sizeof image) == static_cast<std::ptrdiff_t>(sizeof image) &&
           acceptRecord(image, history)) {
    }
    return true;
}

std::size_t CSettingsHistory::parseHistory(const std::uint8_t* data, std::size_t size,
                                           std::vector<device_info_t>& history) {
    std::size_t count = 0;
    for (std::size_t at = 0; data != nullptr && size - at >= device_info_t::kSize;
         at += device_info_t::kSize) {
        if (!acceptRecord(data + at, history)) {
            break;
        }
        ++count;
    }
    return count;
}

bool CSettingsHistory::acceptRecord(const std::uint8_t* image,
                                    std::vector<device_info_t>& history) {
    const unsigned version = image[0] | (image[1] << 8);
    if (version != device_info_t::kVersion) {
        return false;
    }
    device_info_t info{};
    info.fromBytes(image);
    history.push_back(info);
    return true;
}
