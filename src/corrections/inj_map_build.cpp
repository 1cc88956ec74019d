#include "corrections/inj_map_build.h"

#include <cmath>

namespace {

constexpr int kGasolineState = 2;

}  // namespace

bool CInjMapBuild::add(const app_msg_t& sample) {
    return add(reading_t{sample.gasTimeMs(), sample.rpm(), sample.vacuumKpa(),
                         sample.work_state == kGasolineState});
}

bool CInjMapBuild::add(const reading_t& r) {
    ++samples_;
    const bool inRanges = r.timeMs > kMinTimeMs && r.timeMs < kMaxTimeMs && r.rpm >= kMinRpm &&
                          r.rpm < kMaxRpm && r.vacuumKpa < kMaxVacuumKpa;
    if (!inRanges) {
        return false;
    }
    // Bands truncate toward zero, so a slight overpressure (a vacuum down to −9.9 kPa)
    // still falls in band 0; more than that belongs to no band and is left out.
    const int vacuumBand = static_cast<int>(std::trunc(r.vacuumKpa)) / 10;
    if (vacuumBand < 0) {
        return false;
    }
    const int speedBand = static_cast<int>(std::trunc(r.rpm)) / injmap::kColumnRpm;
    const int msRow = static_cast<int>(std::trunc(r.timeMs));
    MapCellStats& cell = stats_[vacuumBand * kSpeedBands + speedBand];
    const int support = msRow * kSpeedBands + speedBand;
    if (r.gasoline) {
        ++cell.gasCount;
        cell.gasTime += r.timeMs;
        ++gasSupport_[support];
    } else {
        ++cell.otherCount;
        cell.otherTime += r.timeMs;
        ++otherSupport_[support];
    }
    ++accepted_;
    return true;
}

CInjMapBuild::percent_table_t CInjMapBuild::percentTable() const {
    percent_table_t table{};
    // Vacuum bands outside, speed bands inside: the order in which the bands of one row
    // are averaged decides the result.
    for (int v = 0; v < kVacuumBands; ++v) {
        for (int s = 0; s < kSpeedBands; ++s) {
            MapCellStats c = cell(s, v);
            if (c.gasCount != 0)
                c.gasTime /= static_cast<double>(c.gasCount);
            if (c.otherCount != 0)
                c.otherTime /= static_cast<double>(c.otherCount);
            if (c.gasCount > kTooFewSamples && c.otherCount > kTooFewSamples && c.gasTime != 0 &&
                c.otherTime != 0) {
                c.percent = (c.otherTime - c.gasTime) * 100.0 / c.gasTime;
            }
            const int row = static_cast<int>(std::trunc(c.gasTime));
            if (c.percent == 0 || row < 0 || row >= kMsRows) {
                continue;
            }
            double& slot = table[row * kSpeedBands + s];
            slot = slot == 0 ? c.percent : (slot + c.percent) / 2;
        }
    }
    return table;
}

map_proposal_t CInjMapBuild::proposal() const {
    const percent_table_t table = percentTable();
    map_proposal_t p;
    p.samples = samples_;
    p.accepted = accepted_;
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int s = 0; s < kSpeedBands; ++s) {
            // Each whole millisecond fills its two half-millisecond rows.
            const int from = (r / 2) * kSpeedBands + s;
            const int cell = injmap::cellIndex(r, s);
            p.valued[cell] = table[from] != 0;
            p.percent[cell] = injmap::proposalPercent(table[from]);
            p.gasolineSamples[cell] = gasSupport_[from];
            p.lpgSamples[cell] = otherSupport_[from];
        }
    }
    return p;
}
