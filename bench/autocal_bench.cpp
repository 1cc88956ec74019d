// SPDX-License-Identifier: GPL-3.0-or-later
// A whole auto-calibration run over a pseudo-terminal paced like the real 38400-baud line,
// against its floor: the 1000 samples the five steps average and settle on, at the sample
// rate live acquisition reaches on that line, plus ten 500 ms work-mode pauses.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>

#include "autosetup/auto_setup.h"
#include "autosetup/i_auto_setup_ui.h"
#include "diag/diag_data.h"
#include "diag/diag_rs_thread.h"
#include "link/lpg_device.h"
#include "link/serial_port.h"
#include "sim/controller_sim.h"
#include "sim/pty_server.h"
#include "sim/serial_line_factory.h"
#include "support/thread_manager.h"
#include "writes/settings_write.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Answers the idle question with OK; only failures are shown.
class CQuietUi : public IAutoSetupUi {
  public:
    void appendLog(const std::string& line) override {
        if (line.rfind("Błąd", 0) == 0) {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
    }
    void enableStart(bool) override {}
    void enableStop(bool) override {}
    void showMessage(const std::string& text, IDeviceUi::Icon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool askOkCancel(const std::string&) override { return true; }
};

// The connection's messages say why a run failed.
class CPrintingDeviceUi : public CNullDeviceUi {
  public:
    Answer messageBox(const std::string& text, Icon, Buttons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return Answer::Ok;
    }
};

void BM_AutoSetupRunPaced(benchmark::State& state) {
    auto sim = std::make_shared<CControllerSim>();
    sim->setNeededCorrection(1.35);
    line_choice_t choice;
    choice.kind = line_choice_t::Kind::SimulatedOnPty;
    choice.sim = sim;
    serial_line_t made = makeSerialLine(choice);
    CPtyServer& server = *made.server;
    CPrintingDeviceUi deviceUi;
    CLPGDevice device(deviceUi, std::move(made.line));
    device.setUnlocked(true);
    if (!device.connect(1)) {
        state.SkipWithError("no simulated controller");
        return;
    }
    CDiagData store;
    std::atomic<bool> diagOn{true};
    std::atomic<int> injector{1};
    CThreadManager workers;
    workers.insert(
        new CDiagRSThread(device, store, "/tmp/vapron-autocal-bench.lpgd", diagOn, injector));
    CQuietUi ui;
    // The rate the line gives live acquisition at idle, taken before and after the run.
    const auto sampleRate = [&store] {
        const std::size_t before = store.getSize();
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        return (store.getSize() - before) / secondsSince(start);
    };
    for (auto _ : state) {
        const double rateBefore = sampleRate();
        CSettingsWrite settingsWrite(device);
        CAutoSetup run(device, store, ui, settingsWrite);
        const auto start = Clock::now();
        if (!run.doWork()) {
            state.SkipWithError("the run did not succeed");
            break;
        }
        const double seconds = secondsSince(start);
        const double rate = (rateBefore + sampleRate()) / 2;
        const double floor = 1000.0 / rate + 10 * 0.5;
        state.SetIterationTime(seconds);
        state.counters["samples_per_s"] = rate;
        state.counters["run_s"] = seconds;
        state.counters["floor_s"] = floor;
        state.counters["run_per_floor"] = seconds / floor;
    }
    diagOn = false;
    workers.joinAll();
    device.disconnect();
    server.stop();
}
BENCHMARK(BM_AutoSetupRunPaced)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
