// SPDX-License-Identifier: GPL-3.0-or-later
// How long the window's event loop stalls while the installer works on a line that loses
// 30 % of the replies: the whole program on the simulated controller behind a paced
// pseudo-terminal, live diagnostics on (with the panel's polls), and the window's
// commands one after another (error read, settings editor, settings write, EEPROM backup
// and restore, the map pane). A 5 ms timer on the window's thread measures the gaps
// between its ticks; the longest one is the longest time the window could not react.
// Prints its figures; the goal is a longest stall under 100 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "app/device_doc.h"
#include "app/vapron_app.h"
#include "sim/controller_sim.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

#include "ui_bench.h"

namespace {

constexpr double kDrop = 0.3;
constexpr int kTickMs = 5;

struct stall_watch_t {
    QElapsedTimer clock;
    qint64 last = 0;
    std::vector<qint64> gaps;

    void tick() {
        const qint64 now = clock.elapsed();
        gaps.push_back(now - last);
        last = now;
    }
    qint64 percentile(double share) const {
        std::vector<qint64> sorted = gaps;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[static_cast<std::size_t>(share * (sorted.size() - 1))];
    }
};

}  // namespace

int main(int argc, char** argv) {
    CUiBenchHome home;
    QApplication application(argc, argv);
    CVapron::prepareApplication();
    CUiBenchHome::answerEverything(home.file("kopia.eeprom"));
    CVapron program(CUiBenchHome::simulated());
    program.start();
    QElapsedTimer opening;
    opening.start();
    while (!program.opened() && opening.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    CDeviceDoc& doc = *program.document();
    if (!doc.isConnected()) {
        std::fprintf(stderr, "window_stall: the simulated controller did not answer\n");
        return 1;
    }
    doc.setUnlocked(true);
    program.simulator()->faults().setDropProbability(kDrop);

    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"errors read", [&] { doc.onErrorsRead(); }},
        {"settings editor", [&] { doc.onManualSettings(); }},
        {"settings write", [&] { doc.writeSetup(doc.heldSetup()); }},
        {"EEPROM backup", [&] { doc.readEepromToFile(); }},
        {"EEPROM restore", [&] { doc.writeEepromFromFile(); }},
        {"map pane", [&] { doc.toggleMapPane(); }},
        {"version", [&] { doc.onVersionDialog(); }},
    };
    stall_watch_t watch;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { watch.tick(); });
    watch.clock.start();
    ticks.start(kTickMs);
    QElapsedTimer total;
    total.start();
    for (const auto& [name, command] : commands) {
        QElapsedTimer took;
        took.start();
        bool done = false;
        QTimer::singleShot(0, [&] {
            command();
            done = true;
        });
        while (!done) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        std::printf("%-16s %6lld ms\n", name, static_cast<long long>(took.elapsed()));
    }
    // Live diagnostics alone for a while: the panel's error and settings polls.
    QElapsedTimer live;
    live.start();
    while (live.elapsed() < 12000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    ticks.stop();
    std::printf("drop %.0f %%, %zu ticks of %d ms over %.1f s\n", kDrop * 100, watch.gaps.size(),
                kTickMs, total.elapsed() / 1000.0);
    std::printf("event-loop gap: median %lld ms, 99th percentile %lld ms, longest %lld ms\n",
                static_cast<long long>(watch.percentile(0.5)),
                static_cast<long long>(watch.percentile(0.99)),
                static_cast<long long>(watch.percentile(1.0)));
    doc.OnCloseDocument();
    return watch.percentile(1.0) < 100 ? 0 : 2;
}
