// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_loader.h"

#include "support/i_error.h"

namespace {
// A recorded line is about 45 bytes; reserving from the file size avoids regrowing a
// large list several times.
constexpr std::uint64_t kTypicalLine = 40;
constexpr std::uint64_t kMaxReserve = 50'000'000;
}  // namespace

CRecordingLoader::CRecordingLoader(const std::string& fileName) : reader_(fileName) {}

std::vector<app_msg_t> CRecordingLoader::loadAll() {
    std::vector<app_msg_t> samples;
    loadAll(samples);
    return samples;
}

std::size_t CRecordingLoader::loadAll(std::vector<app_msg_t>& samples) {
    if (!reader_.isOpen()) {
        VAPRON_RAISE(IError::ERR_FILE,
                     "Nie można otworzyć pliku do odczytu danych diagnostycznych");
    }
    const std::size_t before = samples.size();
    const std::uint64_t expected = std::min(reader_.sourceSize() / kTypicalLine, kMaxReserve);
    samples.reserve(before + static_cast<std::size_t>(expected));
    app_msg_t sample;
    while (reader_.readSample(sample)) {
        samples.push_back(sample);
    }
    unread_ = reader_.countUnreadLines();
    reader_.close();
    return samples.size() - before;
}
