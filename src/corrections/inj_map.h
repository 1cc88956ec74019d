// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "diag/app_msg.h"
#include "diag/recording_reader.h"

class CInjMapBuild;

// A recording read for the injection map: the file is opened when the object is made and
// read once, either into a list of samples (for the chart) or straight into a map build,
// which keeps nothing of a long drive but its statistics.
class CInjMap {
  public:
    // Told the share of the file read so far (0 … 1) now and then; returning false
    // stops the reading.
    using Progress = std::function<bool(double share)>;
    // How many samples pass between two progress reports.
    static constexpr std::size_t kProgressEvery = 16384;

    explicit CInjMap(const std::string& path);
    virtual ~CInjMap();

    // Every sample up to the first one that cannot be read; false when stopped. Raises
    // code 4 when the file could not be opened.
    bool loadAll(const Progress& progress = {});
    // The same into `build`, keeping no sample.
    bool build(CInjMapBuild& build, const Progress& progress = {});

    const std::vector<app_msg_t>& samples() const { return samples_; }
    std::vector<app_msg_t> takeSamples() { return std::move(samples_); }
    const std::string& path() const { return path_; }
    // Why the reading ended and where.
    const CRecordingReader& reader() const { return reader_; }
    // Non-blank lines the reading left behind (0 after a clean end).
    std::size_t unreadLines() const { return unread_; }

  private:
    template <class Take>
    bool readAll(const Progress& progress, Take&& take);

    std::string path_;
    CRecordingReader reader_;
    std::vector<app_msg_t> samples_;
    std::size_t unread_ = 0;
};
