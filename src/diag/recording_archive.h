// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <string>

// Keeps earlier drives: before a run truncates a recording that holds samples, the
// recording and its "-config" companion are renamed beside it with the time stamp
// added to the file's stem ("Diagnostyka.lpgd" becomes
// "Diagnostyka-20240131-142501.lpgd" and "Diagnostyka-20240131-142501.lpgd-config").
class CRecordingArchive {
  public:
    struct result_t {
        bool moved = false;
        std::string movedTo;  // the recording's new full name
        std::string error;    // why it could not be moved; empty when all went well
        bool ok() const { return error.empty(); }
    };

    // The stamped name; serial 2, 3 … is added when that second is already taken.
    static std::string stampedName(const std::string& recording, std::time_t now, int serial = 1);
    // Moves the recording and its companion aside when the recording is a file holding
    // anything or a link (moved itself, never written through), or the companion holds
    // anything; nothing when there is nothing to keep.
    static result_t setAside(const std::string& recording, std::time_t now);

  private:
    static bool holdsDrive(const std::string& recording);
    static bool exists(const std::string& path);
};
