#include "diag/diag_data.h"

#include <algorithm>
#include <mutex>

void CDiagData::push(const app_msg_t& sample) {
    std::lock_guard<CMutex> hold(mutex_);
    samples_.push_back(sample);
}

bool CDiagData::getLast(app_msg_t* sample) const {
    std::lock_guard<CMutex> hold(mutex_);
    if (sample == nullptr || samples_.empty()) {
        return false;
    }
    *sample = samples_.back();
    return true;
}

void CDiagData::getRange(std::vector<app_msg_t>& out, int first, int end) const {
    std::lock_guard<CMutex> hold(mutex_);
    const auto size = static_cast<long long>(samples_.size());
    const long long from = std::max(first, 0);
    const long long to = std::min<long long>(end, size);
    if (from > size || to <= from) {
        return;
    }
    out.insert(out.end(), samples_.begin() + from, samples_.begin() + to);
}

std::size_t CDiagData::getSize() const {
    std::lock_guard<CMutex> hold(mutex_);
    return samples_.size();
}

void CDiagData::clear() {
    std::lock_guard<CMutex> hold(mutex_);
    // A long run holds a lot of memory; the next run starts from nothing anyway.
    std::vector<app_msg_t>().swap(samples_);
    ++run_;
}

std::uint64_t CDiagData::run() const {
    std::lock_guard<CMutex> hold(mutex_);
    return run_;
}

std::size_t CDiagData::memoryBytes() const {
    std::lock_guard<CMutex> hold(mutex_);
    return samples_.capacity() * sizeof(app_msg_t);
}
