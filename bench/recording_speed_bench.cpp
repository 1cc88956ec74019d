// SPDX-License-Identifier: GPL-3.0-or-later
// Recordings against the disk's own pace: each command of vapron-cli on a million-line
// recording timed in the same run as `wc -l` on the same file (the floor of a scan),
// and the ratio printed; the replay into the sample store against the CLI's read; the
// peak memory of an export and an inspection of a ten-million-line recording.
// VAPRON_CLI names another vapron-cli to measure (an older build, for comparison).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "diag/diag_data.h"
#include "diag/diag_file_thread.h"
#include "diag/recording_writer.h"
#include "support/thread_manager.h"

#include "bench_samples.h"

extern char** environ;

namespace {

constexpr int kLines = 1'000'000;
constexpr int kLongLines = 10'000'000;
constexpr int kRounds = 3;  // each side's best of three, taken in turns

struct run_t {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system: what a shared, busy machine still measures
    int status = -1;
};

std::string cliPath() {
    const char* other = std::getenv("VAPRON_CLI");
    return other != nullptr ? other : VAPRON_CLI_PATH;
}

// Runs a program with its output thrown away; its wall and processor time.
run_t runProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    run_t run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// Peak memory of a command in MB, as /usr/bin/time reports it: a child spawned from here
// would count this process's own memory as its peak.
double peakMb(const std::vector<std::string>& command, double& seconds) {
    const std::string report = "/tmp/vapron-speed-bench.rss";
    std::vector<std::string> timed{"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), command.begin(), command.end());
    seconds = runProgram(timed).seconds;
    double kb = 0;
    std::ifstream(report) >> kb;
    std::remove(report.c_str());
    return kb / 1024.0;
}

// A recording of `lines` synthetic samples, made once per size and removed at exit.
std::string recording(int lines) {
    static std::vector<std::string> made;
    const std::string path = "/tmp/vapron-speed-bench-" + std::to_string(lines) + ".lpgd";
    if (std::find(made.begin(), made.end(), path) != made.end()) {
        return path;
    }
    writeBenchRecording(path, lines);
    if (made.empty()) {
        std::atexit([] {
            for (const auto& file : made) {
                std::remove(file.c_str());
            }
            std::remove("/tmp/vapron-speed-bench.csv");
        });
    }
    made.push_back(path);
    return path;
}

// The command against `wc -l` on the same file, best of each, in turns.
void compareWithWc(benchmark::State& state, const std::vector<std::string>& command) {
    const std::string file = recording(kLines);
    for (auto _ : state) {
        double wc = 1e9, cli = 1e9, wcCpu = 1e9, cliCpu = 1e9;
        for (int round = 0; round < kRounds; ++round) {
            const run_t floor = runProgram({"wc", "-l", file});
            wc = std::min(wc, floor.seconds);
            wcCpu = std::min(wcCpu, floor.cpuSeconds);
            const run_t run = runProgram(command);
            if (run.status != 0) {
                state.SkipWithError("the command failed");
                return;
            }
            cli = std::min(cli, run.seconds);
            cliCpu = std::min(cliCpu, run.cpuSeconds);
        }
        state.counters["wc_s"] = wc;
        state.counters["cli_s"] = cli;
        state.counters["times_wc"] = cli / wc;
        state.counters["times_wc_cpu"] = cliCpu / wcCpu;
    }
}

void BM_InspectVsWc(benchmark::State& state) {
    compareWithWc(state, {cliPath(), "--json", "inspect", recording(kLines)});
}
BENCHMARK(BM_InspectVsWc)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_MapBuildVsWc(benchmark::State& state) {
    compareWithWc(state, {cliPath(), "--json", "map", "build", recording(kLines)});
}
BENCHMARK(BM_MapBuildVsWc)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_ExportVsWc(benchmark::State& state) {
    compareWithWc(state,
                  {cliPath(), "export", recording(kLines), "-o", "/tmp/vapron-speed-bench.csv"});
}
BENCHMARK(BM_ExportVsWc)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The replay the window runs (a worker filling the sample store) against the CLI's
// read of the same file.
double replaySeconds(const std::string& file, std::size_t& samples, std::size_t& bytes) {
    CDiagData store;
    std::atomic<bool> run{true};
    std::promise<void> finished;
    CThreadManager workers;
    const auto start = std::chrono::steady_clock::now();
    // Waits as the window's event loop does, without waking to look.
    workers.insert(new CDiagFileThread(store, file, run, [&] { finished.set_value(); }));
    finished.get_future().wait();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    workers.joinAll();
    samples = store.getSize();
    bytes = store.memoryBytes();
    return seconds;
}

void BM_ReplayVsCliRead(benchmark::State& state) {
    const std::string file = recording(kLines);
    for (auto _ : state) {
        double replay = 1e9, cli = 1e9;
        std::size_t samples = 0, bytes = 0;
        for (int round = 0; round < kRounds; ++round) {
            cli = std::min(cli, runProgram({cliPath(), "--json", "inspect", file}).seconds);
            replay = std::min(replay, replaySeconds(file, samples, bytes));
        }
        state.counters["replay_s"] = replay;
        state.counters["cli_s"] = cli;
        state.counters["times_cli"] = replay / cli;
        state.counters["store_bytes_per_sample"] = static_cast<double>(bytes) / samples;
    }
}
BENCHMARK(BM_ReplayVsCliRead)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Ten million lines (650 MB): what inspect and export take at most, in memory, and the
// replay the window runs: its time and the store it fills.
void BM_LongRecordingPeakMemory(benchmark::State& state) {
    const std::string file = recording(kLongLines);
    for (auto _ : state) {
        double inspectSeconds = 0, exportSeconds = 0;
        state.counters["inspect_peak_MB"] =
            peakMb({cliPath(), "--json", "inspect", file}, inspectSeconds);
        state.counters["export_peak_MB"] =
            peakMb({cliPath(), "export", file, "-o", "/tmp/vapron-speed-bench.csv"}, exportSeconds);
        std::remove("/tmp/vapron-speed-bench.csv");
        state.counters["inspect_s"] = inspectSeconds;
        state.counters["export_s"] = exportSeconds;
        std::size_t samples = 0, bytes = 0;
        state.counters["replay_s"] = replaySeconds(file, samples, bytes);
        state.counters["replay_store_MB"] = static_cast<double>(bytes) / (1 << 20);
        rusage self{};
        ::getrusage(RUSAGE_SELF, &self);
        state.counters["replay_process_peak_MB"] = static_cast<double>(self.ru_maxrss) / 1024.0;
    }
}
BENCHMARK(BM_LongRecordingPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
