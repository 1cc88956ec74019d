// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_map_build.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGasolineState = 2;

std::int64_t nearness(std::int64_t gasoline, std::int64_t lpg) {
    const std::int64_t need = CInjMapBuild::kTooFewSamples + 1;
    return std::min(std::min(gasoline, need), std::min(lpg, need)) * 4 * need +
           std::min(gasoline, need) + std::min(lpg, need);
}

}  // namespace

CInjMapBuild::reading_t CInjMapBuild::readingOf(const app_msg_t& sample) const {
    const bool gasoline = sample.work_state == kGasolineState;
    return {sample.gasTimeMs(clock_), sample.rpm(clock_), sample.vacuumKpa(), gasoline};
}

bool CInjMapBuild::add(const app_msg_t& sample) {
    if (bandsClock_ != clock_) {
        makeBands();
    }
    ++samples_;
    const int speedBand = speedBands_[sample.rpm_period];
    const int vacuumBand = vacuumBands_[sample.pressure_intake];
    const double timeMs = sample.gasTimeMs(clock_);
    if (speedBand < 0 || vacuumBand < 0 || !(timeMs > kMinTimeMs && timeMs < kMaxTimeMs)) {
        return false;
    }
    tally(vacuumBand, speedBand, sample.work_state == kGasolineState, sample.gas_time);
    return true;
}

bool CInjMapBuild::add(const reading_t& r) {
    ++samples_;
    const bool inRanges = r.timeMs > kMinTimeMs && r.timeMs < kMaxTimeMs && r.rpm >= kMinRpm &&
                          r.rpm < kMaxRpm && r.vacuumKpa < kMaxVacuumKpa;
    // Bands truncate toward zero, so a slight overpressure (a vacuum down to −9.9 kPa)
    // still falls in band 0; more than that belongs to no band and is left out.
    const int vacuumBand = static_cast<int>(std::trunc(r.vacuumKpa)) / 10;
    if (!inRanges || vacuumBand < 0) {
        return false;
    }
    tally(vacuumBand, static_cast<int>(std::trunc(r.rpm)) / injmap::kColumnRpm, r.gasoline,
          clock_.msToTicks(r.timeMs));
    return true;
}

void CInjMapBuild::tally(int vacuumBand, int speedBand, bool gasoline, double ticks) {
    MapCellStats& cell = stats_[vacuumBand * kSpeedBands + speedBand];
    if (gasoline) {
        ++cell.gasCount;
        cell.gasTime += ticks;
    } else {
        ++cell.otherCount;
        cell.otherTime += ticks;
    }
    ++accepted_;
}

// The same conversions and range rules as a reading's, taken once for each raw value.
void CInjMapBuild::makeBands() {
    speedBands_.assign(std::size_t{1} << 16, -1);
    for (std::size_t period = 0; period < speedBands_.size(); ++period) {
        app_msg_t sample;
        sample.rpm_period = static_cast<std::uint16_t>(period);
        const double rpm = readingOf(sample).rpm;
        if (rpm >= kMinRpm && rpm < kMaxRpm) {
            speedBands_[period] =
                static_cast<std::int8_t>(static_cast<int>(std::trunc(rpm)) / injmap::kColumnRpm);
        }
    }
    for (std::size_t raw = 0; raw < vacuumBands_.size(); ++raw) {
        app_msg_t sample;
        sample.pressure_intake = static_cast<std::uint8_t>(raw);
        const double vacuum = sample.vacuumKpa();
        const int band = static_cast<int>(std::trunc(vacuum)) / 10;
        vacuumBands_[raw] =
            static_cast<std::int8_t>(vacuum < kMaxVacuumKpa && band >= 0 ? band : -1);
    }
    bandsClock_ = clock_;
}

void CInjMapBuild::addPending(support_t& row, const MapCellStats& c) {
    if (nearness(c.gasCount, c.otherCount) > nearness(row.gasoline, row.lpg)) {
        row = {c.gasCount, c.otherCount};
    }
}

CInjMapBuild::rows_t CInjMapBuild::rows() const {
    rows_t rows;
    row_table_t<support_t> pending{};
    // Vacuum bands outside, speed bands inside: the order in which the bands of one row
    // are averaged decides the result.
    for (int v = 0; v < kVacuumBands; ++v) {
        for (int s = 0; s < kSpeedBands; ++s) {
            MapCellStats c = cell(s, v);
            // Averages of tick sums, in milliseconds: 2240 ticks over 16 samples at 20 kHz
            // is exactly 7 ms, and lands in the 7 ms row.
            if (c.gasCount != 0)
                c.gasTime = clock_.ticksToMs(c.gasTime / static_cast<double>(c.gasCount));
            if (c.otherCount != 0)
                c.otherTime = clock_.ticksToMs(c.otherTime / static_cast<double>(c.otherCount));
            if (c.gasCount > kTooFewSamples && c.otherCount > kTooFewSamples && c.gasTime != 0 &&
                c.otherTime != 0) {
                c.percent = (c.otherTime - c.gasTime) * 100.0 / c.gasTime;
            }
            // The value lands in the row of the gasoline average; a cell without a
            // gasoline sample yet is shown where its LPG samples are.
            const double rowTime = c.gasCount != 0 ? c.gasTime : c.otherTime;
            const int row = static_cast<int>(std::trunc(rowTime));
            if (row < 0 || row >= kMsRows || c.gasCount + c.otherCount == 0) {
                continue;
            }
            const int at = row * kSpeedBands + s;
            if (c.percent == 0) {
                addPending(pending[at], c);
                continue;
            }
            double& slot = rows.percent[at];
            slot = slot == 0 ? c.percent : (slot + c.percent) / 2;
            rows.support[at].gasoline += c.gasCount;
            rows.support[at].lpg += c.otherCount;
        }
    }
    for (std::size_t at = 0; at < pending.size(); ++at) {
        if (rows.percent[at] == 0) {
            rows.support[at] = pending[at];
        }
    }
    return rows;
}

map_proposal_t CInjMapBuild::proposal() const {
    const rows_t table = rows();
    map_proposal_t p;
    p.samples = samples_;
    p.accepted = accepted_;
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int s = 0; s < kSpeedBands; ++s) {
            // Each whole millisecond fills its two half-millisecond rows.
            const int from = (r / 2) * kSpeedBands + s;
            const int cell = injmap::cellIndex(r, s);
            p.valued[cell] = table.percent[from] != 0;
            p.percent[cell] = injmap::proposalPercent(table.percent[from]);
            p.gasolineSamples[cell] = table.support[from].gasoline;
            p.lpgSamples[cell] = table.support[from].lpg;
        }
    }
    return p;
}
