// The controller link over a pseudo-terminal paced like the real 38400-baud line:
// a whole-EEPROM read and live acquisition, each against the line's own limit, and live
// acquisition with the wire trace off and on.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "diag/diag_data.h"
#include "diag/diag_rs_thread.h"
#include "sim/serial_line_factory.h"
#include "sim_pty_link.h"
#include "support/thread_manager.h"

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
    const double seconds = 5.0;
    for (auto _ : state) {
        CDiagData store;
        std::atomic<bool> run{true};
        std::atomic<int> injector{1};
        std::atomic<bool> stopped{false};
        CThreadManager workers;
        auto* worker = new CDiagRSThread(device, store, "/tmp/vapron-bench.lpgd", run, injector,
                                         [&] { stopped = true; });
        workers.insert(worker);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        run = false;
        while (!stopped)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double limit = 1000.0 / (72 * kByteMs);
        state.counters["exchanges_per_s"] = worker->exchanges() / elapsed;
        state.counters["samples_per_s"] = store.getSize() / elapsed;
        state.counters["line_limit_per_s"] = limit;
        state.counters["share_of_limit"] = worker->exchanges() / elapsed / limit;
        workers.joinAll();
    }
    std::remove("/tmp/vapron-bench.lpgd");
    std::remove("/tmp/vapron-bench.lpgd-config");
}

void BM_LiveAcquisitionPaced(benchmark::State& state) {
    PacedLink link;
    measureLive(link.device(), state);
}
BENCHMARK(BM_LiveAcquisitionPaced)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
