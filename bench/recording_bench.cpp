// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and writing recordings. A million-line recording (about 14 hours of live
// samples) is written once to a temporary file; the loaders then read it whole.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "diag/recording_loader.h"
#include "diag/recording_reader.h"
#include "diag/recording_writer.h"

#include "bench_samples.h"

namespace {

constexpr int kLines = 1'000'000;

app_msg_t sampleNumber(int i) {
    return benchSample(i);
}

char g_recording[] = "/tmp/vapron-recording-bench-XXXXXX";

// The recording, made on first use and removed at exit.
std::string recordingFile() {
    static const bool made = [] {
        const int fd = ::mkstemp(g_recording);
        if (fd >= 0) {
            ::close(fd);
        }
        std::ofstream out(g_recording, std::ios::binary | std::ios::trunc);
        char line[CRecordingWriter::kMaxLine];
        for (int i = 0; i < kLines; ++i) {
            out.write(line, static_cast<std::streamsize>(
                                CRecordingWriter::formatLine(sampleNumber(i), line)));
        }
        std::atexit([] { std::remove(g_recording); });
        return true;
    }();
    return made ? g_recording : "";
}

void BM_LoadAll(benchmark::State& state) {
    const std::string file = recordingFile();
    for (auto _ : state) {
        CRecordingLoader loader(file);
        auto samples = loader.loadAll();
        if (samples.size() != static_cast<std::size_t>(kLines)) {
            state.SkipWithError("short read");
        }
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond);

// Sample by sample, as the replay worker reads.
void BM_ReadSamples(benchmark::State& state) {
    const std::string file = recordingFile();
    for (auto _ : state) {
        CRecordingReader reader(file);
        app_msg_t sample;
        std::uint64_t sum = 0;
        while (reader.readSample(sample)) {
            sum += sample.gas_time;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ReadSamples)->Unit(benchmark::kMillisecond);

void BM_FormatLine(benchmark::State& state) {
    char line[CRecordingWriter::kMaxLine];
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CRecordingWriter::formatLine(sampleNumber(i++), line));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatLine);

// One system write per line, as a live run records.
void BM_WriteLine(benchmark::State& state) {
    const std::string file = recordingFile() + "-write";
    CRecordingWriter writer;
    writer.open(file);
    int i = 0;
    for (auto _ : state) {
        if (!writer.write(sampleNumber(i++))) {
            state.SkipWithError("write failed");
            break;
        }
    }
    writer.close();
    std::remove(file.c_str());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteLine);

}  // namespace

BENCHMARK_MAIN();
