// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "diag/app_msg.h"

class CFileHandle;

// Reads a large recording ahead of its reader on worker threads, a stretch of about
// `segmentSize` bytes each, and hands the stretches over in file order. A stretch
// begins after a line break and is taken while its lines are usual ones; where one is
// not, the stretch stops and the reader takes over there by the general rules. At most
// a few stretches wait, so memory does not grow with the file.
class CRecordingSegments {
  public:
    struct segment_t {
        std::uint64_t begin = 0;       // source offset where the stretch begins
        std::uint64_t end = 0;         // offset after the last sample taken
        std::uint64_t plannedEnd = 0;  // offset the stretch was to reach
        std::size_t lineBreaks = 0;    // line breaks in [begin, end)
        std::vector<app_msg_t> samples;
        bool whole() const { return end == plannedEnd; }
    };

    // From memory the caller keeps alive, or else from an open file the caller keeps
    // (read by offset, its position left alone); `size` bytes of it are planned into
    // stretches. Without workers, next() reads each stretch itself.
    CRecordingSegments(const CFileHandle* file, const std::uint8_t* memory, std::uint64_t size,
                       std::size_t segmentSize, unsigned workers);
    ~CRecordingSegments();
    CRecordingSegments(const CRecordingSegments&) = delete;
    CRecordingSegments& operator=(const CRecordingSegments&) = delete;

    // The next stretch in file order, once a worker has read it; nullptr after the last
    // one. It stays valid until the next call.
    const segment_t* next();

    // Workers worth starting on this machine: none on a single core, where reading
    // ahead would only take turns with the reader.
    static unsigned workersForThisMachine();

  private:
    // Bytes searched past a stretch's nominal bounds for the line break it begins after.
    static constexpr std::size_t kLineSearch = 4096;

    struct slot_t {
        segment_t segment;
        bool ready = false;
    };

    void work();
    void readOrGiveUp(std::size_t index, segment_t& segment, std::vector<std::uint8_t>& bytes);
    void read(std::size_t index, segment_t& segment, std::vector<std::uint8_t>& bytes);
    std::size_t fetch(std::uint64_t from, std::size_t size, std::vector<std::uint8_t>& bytes);
    static const std::uint8_t* parse(const std::uint8_t* p, const std::uint8_t* limit,
                                     segment_t& segment);

    const CFileHandle* file_;
    const std::uint8_t* memory_;
    std::uint64_t size_;
    std::size_t segmentSize_;
    std::size_t count_;  // stretches planned

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<slot_t> slots_;  // stretch i waits in slot i % size
    std::size_t nextToRead_ = 0;
    std::size_t nextToHand_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
    std::vector<std::uint8_t> inlineBytes_;  // next()'s own, without workers
};
