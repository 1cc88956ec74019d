// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

struct device_info_t;

// Where the command-line tool takes a whole settings record from: the controller, a
// car settings file, or one snapshot of a recording's "-config" companion, written
// "FILE.lpgd-config#N" (or "FILE.lpgd#N"), counting from 1.
class CSettingsSource {
  public:
    enum class Kind { Controller, SettingsFile, Snapshot };
    // What went wrong: the command line (exit 2) or the file (exit 3).
    enum class Problem { None, Usage, File };
    static constexpr std::size_t kMaxSnapshot = 10000;

    // `message` explains a Usage problem.
    static Problem parse(const std::string& text, CSettingsSource& source, std::string& message);

    Kind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    std::size_t snapshot() const { return snapshot_; }
    // The companion file a snapshot is taken from.
    std::string companionPath() const;

    // The record of a file or snapshot source; a File problem with a two-line message
    // (what to do, then the file and why) when it cannot be had.
    Problem read(device_info_t& info, std::string& message) const;
    // A car settings file: a whole record of the one supported version.
    static Problem readSettingsFile(const std::string& path, device_info_t& info,
                                    std::string& message);

  private:
    Problem readSnapshot(device_info_t& info, std::string& message) const;

    Kind kind_ = Kind::Controller;
    std::string path_;
    std::size_t snapshot_ = 0;
};
