// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_map.h"

#include "corrections/inj_map_build.h"
#include "support/i_error.h"

namespace {
// A recorded line is about 45 bytes; reserving from the file size avoids regrowing a
// long list several times.
constexpr std::uint64_t kTypicalLine = 40;
constexpr std::uint64_t kMaxReserve = 50'000'000;
}  // namespace

CInjMap::CInjMap(const std::string& path) : path_(path), reader_(path) {}

CInjMap::~CInjMap() = default;

template <class Take>
bool CInjMap::readAll(const Progress& progress, Take&& take) {
    if (!reader_.isOpen()) {
        VAPRON_RAISE(IError::ERR_FILE,
                     "Nie można otworzyć pliku do odczytu danych diagnostycznych");
    }
    const double size = static_cast<double>(reader_.sourceSize());
    auto share = [&] { return size > 0 ? static_cast<double>(reader_.bytesRead()) / size : 0.0; };
    app_msg_t sample;
    std::size_t untilReport = kProgressEvery;
    while (reader_.readSample(sample)) {
        take(sample);
        if (--untilReport == 0) {
            untilReport = kProgressEvery;
            if (progress && !progress(share())) {
                reader_.close();
                return false;
            }
        }
    }
    unread_ = reader_.countUnreadLines();
    reader_.close();
    if (progress) {
        progress(1.0);
    }
    return true;
}

bool CInjMap::loadAll(const Progress& progress) {
    samples_.clear();
    if (reader_.isOpen()) {
        samples_.reserve(
            static_cast<std::size_t>(std::min(reader_.sourceSize() / kTypicalLine, kMaxReserve)));
    }
    return readAll(progress, [this](const app_msg_t& s) { samples_.push_back(s); });
}

bool CInjMap::build(CInjMapBuild& build, const Progress& progress) {
    return readAll(progress, [&build](const app_msg_t& s) { build.add(s); });
}
