// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Looks into a recording before it is replayed or overwritten: can it be opened, and
// does it hold at least one sample? Only the start of the file is read.
class CRecordingProbe {
  public:
    enum class Result { Samples, NoSamples, CannotOpen };
    struct probe_t {
        Result result = Result::CannotOpen;
        // Why there is no sample or why the file cannot be opened, in a few Polish words.
        std::string reason;
        // No sample because the file holds something else (text, a binary file): it is
        // not a recording at all, rather than an empty one.
        bool foreign = false;
    };

    static probe_t probe(const std::string& fileName);
    // The index of the recording's last whole sample, from the end of the file; nothing
    // when it cannot be read or holds none there.
    static std::optional<std::uint32_t> lastIndex(const std::string& fileName);
};
