// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "diag/diag_data.h"
#include "link/device_info.h"

// The "-config" companion of a recording: the device information record as it stood
// each time settings were written during the recording, appended as raw 1200-byte
// images, so the settings in force at any sample can be looked up later.
class CSettingsHistory {
  public:
    static constexpr const char* kSuffix = "-config";
    static constexpr std::size_t kTimeTextSize = 19;  // "dd-mm-yyyy-hh:mm:ss"

    static std::string companionName(const std::string& recordingName);
    // Creates the companion or empties it; false when no recording is named or the
    // companion cannot be written or is not a regular file (which is left alone).
    static bool truncate(const std::string& recordingName);
    // A new run: the companion emptied, then the record as the run starts (position 0),
    // so that the controller's clock and settings travel with the recording. A record
    // of another firmware version would end the history for every reader, so none is
    // written for it. False when nothing could be written.
    static bool startRun(const std::string& recordingName, const device_info_t& info);
    static bool startRun(const std::string& recordingName, const device_info_t& info,
                         std::time_t now);
    // The clock of the recording's run: that of its first snapshot that holds one. A
    // snapshot stamped at or past the recording's last sample was written after the run
    // (a write while it was replayed) and is not the run's. Nothing when no snapshot
    // gives one, or the frequency is no controller's (older recordings have no companion).
    static std::optional<CControllerClock> clockOf(const std::string& recordingName);

    // Stamps `info` with the time and the newest sample's index and appends its image.
    // Does nothing and returns false when no recording is named or the store is empty;
    // true only when the whole record reached the file (a short write is taken back).
    static bool appendSnapshot(const std::string& recordingName, device_info_t& info,
                               const CDiagData& store);
    static bool appendSnapshot(const std::string& recordingName, device_info_t& info,
                               const CDiagData& store, std::time_t now);
    // Local time as "%d-%m-%Y-%H:%M:%S".
    static std::string timeText(std::time_t now);

    // Appends the snapshots of the companion in file order, up to a short record, one
    // that is not of version 4, or the 10 000th. False when no recording is named or the
    // companion cannot be opened or is not a regular file.
    static bool readHistory(const std::string& recordingName, std::vector<device_info_t>& history);
    // The same over a companion's bytes in memory; returns how many were appended.
    static std::size_t parseHistory(const std::uint8_t* data, std::size_t size,
                                    std::vector<device_info_t>& history);

  private:
    static bool acceptRecord(const std::uint8_t* image, std::vector<device_info_t>& history);
    static bool appendImage(const std::string& fileName, const std::uint8_t* image);
};
