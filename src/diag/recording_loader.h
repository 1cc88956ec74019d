// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "diag/app_msg.h"
#include "diag/recording_reader.h"

// Loads a whole recording at once (the injection-map builder reads recordings this
// way). The file is opened when the loader is made.
class CRecordingLoader {
  public:
    explicit CRecordingLoader(const std::string& fileName);

    // Every sample up to the first one that cannot be read, colour left at 0. Raises
    // code 4 when the file could not be opened; closes the file.
    std::vector<app_msg_t> loadAll();
    // The same, appending to `samples`; returns how many were appended.
    std::size_t loadAll(std::vector<app_msg_t>& samples);
    // Why loading stopped and where.
    const CRecordingReader& reader() const { return reader_; }
    // Non-blank lines the loading left behind (0 after a clean end).
    std::size_t unreadLines() const { return unread_; }

  private:
    CRecordingReader reader_;
    std::size_t unread_ = 0;
};
