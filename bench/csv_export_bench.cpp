// SPDX-License-Identifier: GPL-3.0-or-later
// CSV export of a million-line recording (about 14 hours of live samples), written once
// to a temporary file: the whole export, reading, formatting and the atomic write, and
// the row formatting alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "diag/csv_export.h"
#include "diag/recording_writer.h"

#include "bench_samples.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

constexpr int kLines = 1'000'000;

app_msg_t sampleNumber(int i) {
    return benchSample(i, 3, 0);
}

char g_folder[] = "/tmp/vapron-csv-bench-XXXXXX";

// A folder with the recording, made on first use and removed at exit.
std::string folder() {
    static const bool made = [] {
        if (::mkdtemp(g_folder) == nullptr) {
            return false;
        }
        std::ofstream out(std::string(g_folder) + "/jazda.lpgd", std::ios::binary);
        char line[CRecordingWriter::kMaxLine];
        for (int i = 0; i < kLines; ++i) {
            out.write(line, static_cast<std::streamsize>(
                                CRecordingWriter::formatLine(sampleNumber(i), line)));
        }
        std::atexit([] {
            std::remove((std::string(g_folder) + "/jazda.lpgd").c_str());
            std::remove((std::string(g_folder) + "/jazda.csv").c_str());
            ::rmdir(g_folder);
        });
        return true;
    }();
    return made ? g_folder : "";
}

void BM_ExportMillionLines(benchmark::State& state) {
    const std::string dir = folder();
    for (auto _ : state) {
        const auto result = CCsvExport::exportFile(dir + "/jazda.lpgd", dir + "/jazda.csv");
        if (!result.ok() || result.rows != kLines) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ExportMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FormatMillionRows(benchmark::State& state) {
    std::string out;
    for (auto _ : state) {
        out.clear();
        for (int i = 0; i < kLines; ++i) {
            CCsvExport::appendRow(out, sampleNumber(i), kClock);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_FormatMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
