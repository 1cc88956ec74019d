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

void writeRecording(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> block;
    char line[CRecordingWriter::kMaxLine];
    for (int i = 0; i < kLines; ++i) {
        const std::size_t size = CRecordingWriter::formatLine(benchSample(i), line);
        block.insert(block.end(), line, line + size);
        if (block.size() > (1u << 20)) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home;
    qputenv("VAPRON_HOME", home.path().toUtf8());
    const QString recording = home.filePath("dluga.lpgd");
    writeRecording(recording.toStdString());
    QApplication application(argc, argv);
    CVapron::prepareApplication();
    CMessageBox::setShower([](QWidget*, const QString&, CMessageBox::Icon, CMessageBox::Buttons) {
        return CMessageBox::Answer::Ok;
    });
    CDialogRunner::setRunner([](QDialog&) { return int(QDialog::Rejected); });
    CFileDial::setChooser(
        [&](CFileDial::Mode, const QString&, const QString&, const QString&) { return recording; });
    CVapron::Options options;
    options.simulate = true;
    options.inProcess = true;
    options.legacyFolders = std::vector<std::string>{};
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
