// SPDX-License-Identifier: GPL-3.0-or-later
// The controller link over a pseudo-terminal paced like the real 38400-baud line:
// a whole-EEPROM read and live acquisition, each against the line's own limit, and live
// acquisition with the wire trace off and on.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "diag/diag_data.h"
#include "diag/diag_rs_thread.h"
#include "sim/serial_line_factory.h"
#include "sim_pty_link.h"
#include "support/thread_manager.h"
#include "support/wire_trace.h"

namespace {

constexpr double kByteMs = 10.0 * 1000.0 / 38400.0;

// The simulated controller on a paced pseudo-terminal, connected.
struct PacedLink : CSimPtyLink {
    PacedLink() : CSimPtyLink(true) {
        if (!connect())
            throw std::runtime_error("no simulated controller");
    }
};

// 64 blocks, each a 12-byte request and a 16-byte reply.
void BM_EepromReadPaced(benchmark::State& state) {
    PacedLink link;
    std::uint8_t image[512];
    const double lineMs = 64 * (12 + 16) * kByteMs;
    for (auto _ : state) {
        if (!link.device().readEeprom(image, 0, sizeof image))
            state.SkipWithError("read failed");
    }
    state.counters["line_ms"] = lineMs;
}
BENCHMARK(BM_EepromReadPaced)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Live acquisition for a few seconds: exchanges and samples a second against the line's
// limit (each exchange a 36-byte request and a 36-byte reply: 18.75 ms, 53.3 a second).
void measureLive(CLPGDevice& device, benchmark::State& state) {
    const double seconds = 10.0;  // one exchange more or less moves the share by 0.19 %
    for (auto _ : state) {
        CDiagData store;
        std::atomic<bool> run{true};
        std::atomic<int> injector{1};
        std::atomic<bool> stopped{false};
        CThreadManager workers;
        auto* worker = new CDiagRSThread(device, store, "/tmp/vapron-bench.lpgd", run, injector,
                                         [&] { stopped = true; });
        workers.insert(worker);
        // The rate is taken over a window after the start (the recording file and the
        // settings snapshot are behind), so it is the steady exchange rate of the line.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const auto start = std::chrono::steady_clock::now();
        const long long first = worker->exchanges();
        const long long firstSamples = static_cast<long long>(store.getSize());
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const long long exchanges = worker->exchanges() - first;
        const long long samples = static_cast<long long>(store.getSize()) - firstSamples;
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run = false;
        while (!stopped)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const double limit = 1000.0 / (72 * kByteMs);
        state.counters["exchanges_per_s"] = exchanges / elapsed;
        state.counters["samples_per_s"] = samples / elapsed;
        state.counters["line_limit_per_s"] = limit;
        state.counters["share_of_limit"] = exchanges / elapsed / limit;
        workers.joinAll();
    }
    std::remove("/tmp/vapron-bench.lpgd");
    std::remove("/tmp/vapron-bench.lpgd-config");
}

// With state.range(0) > 0 the replies pass through a USB adapter whose latency timer
// runs out every range(0) ms (16 is FTDI's default, 1 what the program asks for).
void BM_LiveAcquisitionPaced(benchmark::State& state) {
    PacedLink link;
    link.server().setAdapterLatency(std::chrono::milliseconds(state.range(0)));
    measureLive(link.device(), state);
}
BENCHMARK(BM_LiveAcquisitionPaced)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->ArgName("adapter_latency_ms")
    ->Arg(0)
    ->Arg(16)
    ->Arg(1);

// The same with the wire trace off (0) and on (1), on the paced line and at full speed,
// where the trace's own cost would show.
void BM_LiveAcquisitionTrace(benchmark::State& state) {
    line_choice_t choice;
    choice.kind = line_choice_t::Kind::SimulatedOnPty;
    choice.pacing = state.range(0) != 0;
    std::string problem;
    if (state.range(1) != 0) {
        choice.trace = CWireTrace::open("/tmp/vapron-bench.trace", problem);
    }
    serial_line_t made = makeSerialLine(choice);
    CNullDeviceUi ui;
    CLPGDevice device(ui, std::move(made.line));
    if (!device.connect(1)) {
        state.SkipWithError("no simulated controller");
        return;
    }
    measureLive(device, state);
    std::remove("/tmp/vapron-bench.trace");
}
BENCHMARK(BM_LiveAcquisitionTrace)
    ->ArgNames({"paced", "traced"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// Two threads on the line: the live worker at full speed and a command thread asking for
// a mode switch every second. The command's wait for the line is from asking for the
// exchange mutex to holding it; the worker must hand it over before its next exchange.
void BM_ModeSwitchBesideLiveWorker(benchmark::State& state) {
    PacedLink link;
    constexpr int kSwitches = 10;
    for (auto _ : state) {
        CDiagData store;
        std::atomic<bool> run{true};
        std::atomic<int> injector{1};
        CThreadManager workers;
        auto* worker =
            new CDiagRSThread(link.device(), store, "/tmp/vapron-bench.lpgd", run, injector);
        workers.insert(worker);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the worker runs
        std::vector<double> waits;
        int failed = 0;
        link.device().setWorkModePause(std::chrono::milliseconds(0));
        for (int i = 0; i < kSwitches; ++i) {
            const auto asked = std::chrono::steady_clock::now();
            {
                std::lock_guard<CFairMutex> line(link.device().exchangeMutex());
                waits.push_back(std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - asked)
                                    .count());
                const bool switched =
                    i % 2 == 0 ? link.device().setWorkGas() : link.device().setWorkLPG();
                failed += switched ? 0 : 1;
            }
            std::this_thread::sleep_until(asked + std::chrono::seconds(1));
        }
        state.counters["worker_exchanges"] = static_cast<double>(worker->exchanges());
        run = false;
        workers.joinAll();
        std::sort(waits.begin(), waits.end());
        state.counters["wait_median_ms"] = waits[waits.size() / 2];
        state.counters["wait_worst_ms"] = waits.back();
        state.counters["switches_failed"] = failed;
    }
    std::remove("/tmp/vapron-bench.lpgd");
    std::remove("/tmp/vapron-bench.lpgd-config");
}
BENCHMARK(BM_ModeSwitchBesideLiveWorker)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// An EEPROM transfer with live diagnostics off or on, on a clean line or one that loses
// a share of its replies: a backup (range 0 = 0), a restore (1) or a map write (2).
// The line alone, clean, is what the others are held against.
void BM_TransferBesideLive(benchmark::State& state) {
    PacedLink link;
    const int operation = static_cast<int>(state.range(0));
    const bool live = state.range(1) != 0;
    link.sim().faults().setDropProbability(static_cast<double>(state.range(2)) / 100.0);
    CDiagData store;
    std::atomic<bool> run{true};
    std::atomic<int> injector{1};
    CThreadManager workers;
    if (live) {
        workers.insert(
            new CDiagRSThread(link.device(), store, "/tmp/vapron-bench.lpgd", run, injector));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    std::uint8_t image[512] = {};
    int failed = 0;
    for (auto _ : state) {
        bool done = false;
        switch (operation) {
            case 0:
                done = link.device().readEeprom(image, 0, sizeof image);
                break;
            case 1:
                done = link.device().writeEeprom(image, 0, sizeof image);
                break;
            default:
                done = link.device().writeMap();
                break;
        }
        failed += done ? 0 : 1;
    }
    state.counters["failed"] = failed;
    state.counters["live_samples"] = static_cast<double>(store.getSize());
    run = false;
    workers.joinAll();
    std::remove("/tmp/vapron-bench.lpgd");
    std::remove("/tmp/vapron-bench.lpgd-config");
}
BENCHMARK(BM_TransferBesideLive)
    ->ArgNames({"op", "live", "drop_pct"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {0}})
    ->Args({0, 1, 30})
    ->Args({1, 1, 30})
    ->Args({2, 1, 30})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// What the store holds per sample once a long run has grown it.
void BM_StoreMemoryPerSample(benchmark::State& state) {
    for (auto _ : state) {
        CDiagData store;
        app_msg_t sample;
        for (int i = 0; i < 1'000'000; ++i) {
            sample.index = static_cast<std::uint32_t>(i + 1);
            store.push(sample);
        }
        state.counters["bytes_per_sample"] =
            static_cast<double>(store.memoryBytes()) / store.getSize();
        state.counters["sizeof_sample"] = sizeof(app_msg_t);
    }
}
BENCHMARK(BM_StoreMemoryPerSample)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
