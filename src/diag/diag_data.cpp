// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/diag_data.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "diag/sample_fields.h"

namespace {

void pack(const app_msg_t& sample, std::uint8_t* out) {
    forEachSampleField([&](auto i) {
        constexpr const sample_field_t& field = kSampleFields[i];
        const std::uint32_t value = getSampleField<i>(sample);
        if constexpr (field.width == 4) {
            const auto v = static_cast<std::uint32_t>(value);
            std::memcpy(out + kSampleFieldOffsets[i], &v, sizeof v);
        } else if constexpr (field.width == 2) {
            const auto v = static_cast<std::uint16_t>(value);
            std::memcpy(out + kSampleFieldOffsets[i], &v, sizeof v);
        } else {
            out[kSampleFieldOffsets[i]] = static_cast<std::uint8_t>(value);
        }
    });
}

app_msg_t unpack(const std::uint8_t* in) {
    app_msg_t sample;
    forEachSampleField([&](auto i) {
        constexpr const sample_field_t& field = kSampleFields[i];
        if constexpr (field.width == 4) {
            std::uint32_t v;
            std::memcpy(&v, in + kSampleFieldOffsets[i], sizeof v);
            setSampleField<i>(sample, v);
        } else if constexpr (field.width == 2) {
            std::uint16_t v;
            std::memcpy(&v, in + kSampleFieldOffsets[i], sizeof v);
            setSampleField<i>(sample, v);
        } else {
            setSampleField<i>(sample, in[kSampleFieldOffsets[i]]);
        }
    });
    sample.colour = injectorColour(sample.injector);
    return sample;
}

}  // namespace

void CDiagData::append(const app_msg_t& sample) {
    const std::size_t slot = size_ % kChunkSamples;
    if (slot == 0 && size_ / kChunkSamples == chunks_.size()) {
        chunks_.push_back(
            std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSamples * kSampleFieldBytes));
    }
    pack(sample, chunks_[size_ / kChunkSamples].get() + slot * kSampleFieldBytes);
    ++size_;
}

app_msg_t CDiagData::at(std::size_t position) const {
    return unpack(chunks_[position / kChunkSamples].get() +
                  (position % kChunkSamples) * kSampleFieldBytes);
}

void CDiagData::push(const app_msg_t& sample) {
    std::lock_guard<CMutex> hold(mutex_);
    append(sample);
}

void CDiagData::push(const app_msg_t* samples, std::size_t count) {
    std::lock_guard<CMutex> hold(mutex_);
    for (std::size_t i = 0; i < count; ++i) {
        append(samples[i]);
    }
}

bool CDiagData::getLast(app_msg_t* sample) const {
    std::lock_guard<CMutex> hold(mutex_);
    if (sample == nullptr || size_ == 0) {
        return false;
    }
    *sample = at(size_ - 1);
    return true;
}

void CDiagData::getRange(std::vector<app_msg_t>& out, int first, int end) const {
    std::lock_guard<CMutex> hold(mutex_);
    const auto size = static_cast<long long>(size_);
    const long long from = std::max(first, 0);
    const long long to = std::min<long long>(end, size);
    if (from > size || to <= from) {
        return;
    }
    out.reserve(out.size() + static_cast<std::size_t>(to - from));
    for (long long i = from; i < to; ++i) {
        out.push_back(at(static_cast<std::size_t>(i)));
    }
}

std::size_t CDiagData::getSize() const {
    std::lock_guard<CMutex> hold(mutex_);
    return size_;
}

void CDiagData::clear() {
    std::lock_guard<CMutex> hold(mutex_);
    // A long run holds a lot of memory; the next run starts from nothing anyway.
    decltype(chunks_)().swap(chunks_);
    size_ = 0;
    ++run_;
}

std::uint64_t CDiagData::run() const {
    std::lock_guard<CMutex> hold(mutex_);
    return run_;
}

std::size_t CDiagData::memoryBytes() const {
    std::lock_guard<CMutex> hold(mutex_);
    return chunks_.size() * kChunkSamples * kSampleFieldBytes +
           chunks_.capacity() * sizeof(chunks_[0]);
}

void CDiagData::startRun(const CControllerClock& clock, bool known) {
    std::lock_guard<CMutex> hold(mutex_);
    decltype(chunks_)().swap(chunks_);
    size_ = 0;
    ++run_;
    clock_ = clock;
    clockKnown_ = known;
}

CControllerClock CDiagData::clock() const {
    std::lock_guard<CMutex> hold(mutex_);
    return clock_;
}

bool CDiagData::clockKnown() const {
    std::lock_guard<CMutex> hold(mutex_);
    return clockKnown_;
}
