// SPDX-License-Identifier: GPL-3.0-or-later
// The window opening a ten-million-line recording: the sample store it fills against the
// peak memory of the whole process while the recording is read and shown (the first page,
// then all of it in one window). Prints its figures; the goal is a growth of the peak of
// at most one and a half times the store.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>

#include "app/device_doc.h"
#include "app/vapron_app.h"
#include "diag/recording_writer.h"
#include "display/chart_window.h"
#include "display/display_view.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

#include "bench_samples.h"
#include "ui_bench.h"

namespace {

constexpr int kLines = 10'000'000;

// The process's peak resident memory so far, in MB.
double peakMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CUiBenchHome home;
    const QString recording = home.file("dluga.lpgd");
    writeBenchRecording(recording.toStdString(), kLines);
    QApplication application(argc, argv);
    CVapron::prepareApplication();
    CUiBenchHome::answerEverything(recording);
    CVapron::Options options = CUiBenchHome::simulated();
    options.inProcess = true;
    CVapron program(options);
    program.start();
    while (!program.opened()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    CDeviceDoc& doc = *program.document();
    doc.stopDiagnostics();
    doc.diagFlag() = false;
    QApplication::processEvents();
    const double before = peakMb();
    doc.loadRecording();
    program.displayView()->grab();
    CChartWindow::setRange(0, static_cast<double>(doc.store().getSize()));
    program.displayView()->grab();
    const double storeMb = static_cast<double>(doc.store().memoryBytes()) / (1024.0 * 1024.0);
    const double grown = peakMb() - before;
    std::printf("%zu samples: store %.0f MB, peak grew %.0f MB (%.2f x the store)\n",
                doc.store().getSize(), storeMb, grown, grown / storeMb);
    doc.OnCloseDocument();
    return grown <= 1.5 * storeMb ? 0 : 2;
}
