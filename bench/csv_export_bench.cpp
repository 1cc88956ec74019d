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

namespace {

constexpr int kLines = 1'000'000;

app_msg_t sampleNumber(int i) {
    app_msg_t s;
    s.index = static_cast<std::uint32_t>(i + 1);
    s.injector = static_cast<std::uint8_t>(1 + i % 4);
    s.work_state = i % 5 == 0 ? 0 : 3;
    s.lpg_injectors = 0x0F;
    s.rpm_period = static_cast<std::uint16_t>(2400 + i % 3000);
    s.inj_period = static_cast<std::uint16_t>(2400 + i % 2900);
    s.gas_time = static_cast<std::uint16_t>(100 + i % 400);
    s.time_add = static_cast<std::uint16_t>(i % 40);
    s.time_sub = static_cast<std::uint16_t>(i % 7);
    s.time_aux = static_cast<std::uint16_t>(90 + i % 300);
    s.temp_reducer = static_cast<std::uint8_t>(100 + i % 50);
    s.temp_gas = static_cast<std::uint8_t>(140 + i % 20);
    s.temp_internal = 130;
    s.supply = static_cast<std::uint8_t>(90 + i % 10);
    s.lambda = static_cast<std::uint8_t>(i % 256);
    s.pressure = static_cast<std::uint8_t>(80 + i % 30);
    s.pressure2 = 81;
    s.pressure_intake = static_cast<std::uint8_t>(30 + i % 60);
    return s;
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
            CCsvExport::appendRow(out, sampleNumber(i));
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_FormatMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
