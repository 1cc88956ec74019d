// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "corrections/inj_map_cells.h"
#include "corrections/map_cell_stats.h"
#include "corrections/map_proposal.h"
#include "diag/app_msg.h"

// Builds a proposal of the injection map from the samples of a drive: for every engine
// speed band and intake vacuum band it compares the car computer's gasoline time on
// gasoline with the same time while on LPG, where the car computer lengthens its pulses
// by what the LPG side lacks. The difference in percent of the gasoline time becomes the
// correction of the map row of that gasoline time.
class CInjMapBuild {
  public:
    static constexpr int kSpeedBands = injmap::kColumns;
    static constexpr int kVacuumBands = 11;  // 0-9, 10-19 … 100-109 kPa
    static constexpr int kMsRows = 25;       // whole milliseconds 0 … 24
    // A sample counts only strictly between these times, from the lowest speed up to
    // (not including) the highest, and below the highest vacuum.
    static constexpr double kMinTimeMs = 2.0;
    static constexpr double kMaxTimeMs = 25.0;
    static constexpr double kMinRpm = 500.0;
    static constexpr double kMaxRpm = 8000.0;
    static constexpr double kMaxVacuumKpa = 110.0;
    // A cell needs more than this many samples in each group to give a value.
    static constexpr std::int64_t kTooFewSamples = 10;

    // One sample in engineering units.
    struct reading_t {
        double timeMs = 0;     // gasoline injection time
        double rpm = 0;        // engine speed
        double vacuumKpa = 0;  // 101 kPa less the intake pressure
        bool gasoline = false;
    };

    // The controller clock the samples were recorded with (the usual one unless set).
    void setClock(const CControllerClock& clock) { clock_ = clock; }
    const CControllerClock& clock() const { return clock_; }
    // A recorded sample in engineering units, with the build's clock.
    reading_t readingOf(const app_msg_t& sample) const;

    // Every sample of the recording, in file order; true when it was accepted.
    bool add(const app_msg_t& sample);
    bool add(const reading_t& reading);

    // The proposal from what was added so far (averages, percentages, rows).
    map_proposal_t proposal() const;

    // The statistics of a cell as added (sums, not yet averages).
    const MapCellStats& cell(int speedBand, int vacuumBand) const {
        return stats_[vacuumBand * kSpeedBands + speedBand];
    }
    std::uint64_t samples() const { return samples_; }
    std::uint64_t accepted() const { return accepted_; }

  private:
    template <class T>
    using row_table_t = std::array<T, kMsRows * kSpeedBands>;
    // Samples behind one whole-millisecond row of a speed band.
    struct support_t {
        std::int64_t gasoline = 0;
        std::int64_t lpg = 0;
    };
    struct rows_t {
        row_table_t<double> percent{};
        // The cells that gave the row's value, or (while it has none) the cell landing
        // in the row that comes nearest to giving one.
        row_table_t<support_t> support{};
    };

    // Averages and percentages of every cell, then the vacuum bands merged into rows.
    rows_t rows() const;
    static void addPending(support_t& row, const MapCellStats& cell);

    // Counts a sample that lies within the ranges, in its bands. Times are summed in
    // ticks, whole numbers, so that an average of whole milliseconds is exactly that.
    void tally(int vacuumBand, int speedBand, bool gasoline, double ticks);
    // The band of every engine period at the build's clock and of every intake pressure
    // (-1 where a sample does not count), made once a clock: a recording has millions.
    void makeBands();

    std::array<MapCellStats, kVacuumBands * kSpeedBands> stats_{};
    CControllerClock clock_;
    std::optional<CControllerClock> bandsClock_;
    std::vector<std::int8_t> speedBands_;
    std::array<std::int8_t, 256> vacuumBands_{};
    std::uint64_t samples_ = 0;
    std::uint64_t accepted_ = 0;
};
