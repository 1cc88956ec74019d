// SPDX-License-Identifier: GPL-3.0-or-later
// The injection map built from a million-line recording (about 14 hours of live samples):
// the whole file read and every sample sorted into its cell, as "Utwórz mapę..." and
// `vapron-cli map build` do.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "corrections/inj_map.h"
#include "corrections/inj_map_build.h"
#include "diag/recording_writer.h"

namespace {

constexpr int kLines = 1'000'000;

// A drive: speeds, loads and times spread over the map, gasoline and LPG taking turns.
app_msg_t driveSample(int i, std::mt19937& random) {
    std::uniform_int_distribution<int> period(600, 9600);
    std::uniform_int_distribution<int> intake(20, 120);
    std::uniform_int_distribution<int> time(60, 900);
    app_msg_t s;
    s.index = static_cast<std::uint32_t>(i + 1);
    s.injector = static_cast<std::uint8_t>(1 + i % 4);
    s.work_state = (i / 5000) % 2 ? 3 : 2;
    s.lpg_injectors = s.work_state == 3 ? 0x0F : 0;
    s.rpm_period = static_cast<std::uint16_t>(period(random));
    s.inj_period = s.rpm_period;
    s.gas_time = static_cast<std::uint16_t>(time(random));
    s.time_add = static_cast<std::uint16_t>(i % 40);
    s.time_aux = s.gas_time;
    s.temp_reducer = 110;
    s.temp_gas = 140;
    s.temp_internal = 130;
    s.supply = 95;
    s.lambda = static_cast<std::uint8_t>(i % 256);
    s.pressure = 90;
    s.pressure_intake = static_cast<std::uint8_t>(intake(random));
    return s;
}

char g_recording[] = "/tmp/vapron-map-build-bench-XXXXXX";

// The recording, made on first use and removed at exit.
std::string recordingFile() {
    static const bool made = [] {
        const int fd = ::mkstemp(g_recording);
        if (fd < 0) {
            return false;
        }
        ::close(fd);
        std::ofstream out(g_recording, std::ios::binary | std::ios::trunc);
        std::mt19937 random(1);
        char line[CRecordingWriter::kMaxLine];
        for (int i = 0; i < kLines; ++i) {
            out.write(line, static_cast<std::streamsize>(
                                CRecordingWriter::formatLine(driveSample(i, random), line)));
        }
        std::atexit([] { std::remove(g_recording); });
        return true;
    }();
    return made ? g_recording : "";
}

void BM_MapBuildMillionLines(benchmark::State& state) {
    const std::string file = recordingFile();
    std::uint64_t valued = 0;
    for (auto _ : state) {
        CInjMap recording(file);
        CInjMapBuild build;
        recording.build(build, [](double) { return true; });
        const map_proposal_t proposal = build.proposal();
        if (proposal.samples != kLines) {
            state.SkipWithError("not every line was read");
        }
        valued = 0;
        for (bool v : proposal.valued)
            valued += v;
    }
    state.counters["lines"] = kLines;
    state.counters["cells_with_value"] = static_cast<double>(valued);
}
BENCHMARK(BM_MapBuildMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
