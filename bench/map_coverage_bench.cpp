// SPDX-License-Identifier: GPL-3.0-or-later
// The live map coverage during a long drive: 64 new samples (a few tenths of a second of
// acquisition) taken from a store that already holds a million, and the counts the pane
// and `vapron-cli record --coverage` show worked out again.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

#include "corrections/map_coverage.h"
#include "diag/diag_data.h"

namespace {

constexpr int kStored = 1'000'000;
constexpr int kNew = 64;

app_msg_t driveSample(int i, std::mt19937& random) {
    std::uniform_int_distribution<int> period(600, 9600);
    std::uniform_int_distribution<int> intake(20, 120);
    std::uniform_int_distribution<int> time(60, 900);
    app_msg_t s;
    s.index = static_cast<std::uint32_t>(i + 1);
    s.work_state = (i / 5000) % 2 ? 3 : 2;
    s.rpm_period = static_cast<std::uint16_t>(period(random));
    s.gas_time = static_cast<std::uint16_t>(time(random));
    s.pressure_intake = static_cast<std::uint8_t>(intake(random));
    return s;
}

void BM_MapCoverage64IntoMillion(benchmark::State& state) {
    std::mt19937 random(1);
    CDiagData store;
    CMapCoverage coverage;
    int next = 0;
    for (; next < kStored; ++next)
        store.push(driveSample(next, random));
    coverage.update(store);
    CMapCoverage::counts_t counts;
    for (auto _ : state) {
        for (int i = 0; i < kNew; ++i, ++next)
            store.push(driveSample(next, random));
        // Only the update and the counts are timed, not the acquisition filling the store.
        const auto start = std::chrono::steady_clock::now();
        if (coverage.update(store) != kNew)
            state.SkipWithError("the update did not take exactly the new samples");
        counts = coverage.counts();
        benchmark::DoNotOptimize(counts);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["stored"] = static_cast<double>(coverage.seen());
    state.counters["cells_with_value"] = counts.valued;
}
BENCHMARK(BM_MapCoverage64IntoMillion)->Unit(benchmark::kMicrosecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
