// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_segments.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <system_error>

#include "diag/recording_line.h"
#include "support/file_handle.h"

namespace {
constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
constexpr unsigned kMostWorkers = 4;
}  // namespace

CRecordingSegments::CRecordingSegments(const CFileHandle* file, const std::uint8_t* memory,
                                       std::uint64_t size, std::size_t segmentSize,
                                       unsigned workers)
    : file_(file),
      memory_(memory),
      size_(size),
      segmentSize_(std::max<std::size_t>(segmentSize, 1)),
      count_(static_cast<std::size_t>((size + segmentSize_ - 1) / segmentSize_)) {
    workers = std::min(workers, kMostWorkers);
    // Each worker's stretch, the reader's, and one ready for it.
    slots_.resize(workers + 2);
    try {
        for (unsigned i = 0; i < workers; ++i) {
            workers_.emplace_back([this] { work(); });
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked for still read ahead.
    }
}

CRecordingSegments::~CRecordingSegments() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (auto& worker : workers_) {
        worker.join();
    }
}

unsigned CRecordingSegments::workersForThisMachine() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores <= 1 ? 0 : std::min(cores, kMostWorkers);
}

const CRecordingSegments::segment_t* CRecordingSegments::next() {
    std::unique_lock lock(mutex_);
    if (nextToHand_ >= count_) {
        return nullptr;
    }
    slot_t& slot = slots_[nextToHand_ % slots_.size()];
    if (workers_.empty()) {
        readOrGiveUp(nextToHand_, slot.segment, inlineBytes_);
        slot.ready = true;
    }
    changed_.wait(lock, [&] { return slot.ready; });
    slot.ready = false;
    ++nextToHand_;
    changed_.notify_all();  // the slot handed before this one is free again
    return &slot.segment;
}

// A stretch may be read once the one that last used its slot has been handed on and
// its successor handed over in turn, so the reader's current stretch stays put.
void CRecordingSegments::work() {
    std::vector<std::uint8_t> bytes;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] {
            return stopping_ || nextToRead_ >= count_ ||
                   nextToRead_ + 2 <= nextToHand_ + slots_.size();
        });
        if (stopping_ || nextToRead_ >= count_) {
            return;
        }
        const std::size_t index = nextToRead_++;
        slot_t& slot = slots_[index % slots_.size()];
        lock.unlock();
        readOrGiveUp(index, slot.segment, bytes);
        lock.lock();
        slot.ready = true;
        changed_.notify_all();
    }
}

// Without the memory for a stretch, the stretch is one the reader does not take, and it
// goes on alone from there.
void CRecordingSegments::readOrGiveUp(std::size_t index, segment_t& segment,
                                      std::vector<std::uint8_t>& bytes) {
    try {
        read(index, segment, bytes);
    } catch (const std::bad_alloc&) {
        segment.samples.clear();
        segment.begin = segment.end = segment.plannedEnd = kNone;
    }
}

// Stretch `index` from the first line break at or after its nominal start to the first
// one at or after its nominal end; the last one to the last line break in the source.
void CRecordingSegments::read(std::size_t index, segment_t& segment,
                              std::vector<std::uint8_t>& bytes) {
    segment.samples.clear();
    segment.lineBreaks = 0;
    segment.begin = segment.end = segment.plannedEnd = kNone;
    const std::uint64_t from = std::uint64_t{index} * segmentSize_;
    const bool last = index + 1 == count_;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(size_ - from, segmentSize_)) +
        (last ? 0 : kLineSearch);
    const std::size_t got = fetch(from, wanted, bytes);
    const std::uint8_t* data = bytes.data();
    const std::uint8_t* first = data;
    if (index > 0) {
        first = static_cast<const std::uint8_t*>(std::memchr(data, '\n', got));
        if (first == nullptr) {
            return;
        }
        ++first;
    }
    const std::uint8_t* stop = nullptr;
    if (last) {
        stop = data + got;
        while (stop > first && stop[-1] != '\n') {
            --stop;
        }
    } else {
        const std::size_t nominal = std::min(segmentSize_, got);
        const void* found = std::memchr(data + nominal, '\n', got - nominal);
        if (found == nullptr) {
            return;
        }
        stop = static_cast<const std::uint8_t*>(found) + 1;
    }
    if (stop < first) {
        return;  // no line break of its own: the reader takes this stretch
    }
    segment.begin = from + static_cast<std::uint64_t>(first - data);
    segment.plannedEnd = from + static_cast<std::uint64_t>(stop - data);
    bytes[static_cast<std::size_t>(stop - data)] = 0;  // ends every loop of the line parse
    segment.end = from + static_cast<std::uint64_t>(parse(first, stop, segment) - data);
}

// Up to `size` bytes from `from`, and one more byte of room; the count read.
std::size_t CRecordingSegments::fetch(std::uint64_t from, std::size_t size,
                                      std::vector<std::uint8_t>& bytes) {
    bytes.resize(size + 1);
    if (memory_ != nullptr) {
        const std::size_t got =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - from));
        std::memcpy(bytes.data(), memory_ + from, got);
        return got;
    }
    const std::ptrdiff_t got = file_->readAt(bytes.data(), size, static_cast<long long>(from));
    return got > 0 ? static_cast<std::size_t>(got) : 0;  // a failed read: the reader meets it
}

// Usual lines from `p` to `limit`; where the taking stopped.
const std::uint8_t* CRecordingSegments::parse(const std::uint8_t* p, const std::uint8_t* limit,
                                              segment_t& segment) {
    app_msg_t sample;
    for (;;) {
        while (p < limit && recording_line::isSpace(*p)) {
            segment.lineBreaks += *p == '\n';
            ++p;
        }
        if (p == limit || !recording_line::readUsualLine(p, limit, sample, segment.lineBreaks)) {
            return p;
        }
        segment.samples.push_back(sample);
    }
}
