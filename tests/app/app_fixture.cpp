// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include "app/lpg_bar.h"

AppFixture::AppFixture(bool controllerPresent, bool heldLine, LineWrap wrap, std::uint32_t seed) {
    qputenv("VAPRON_HOME", home().toUtf8());
    CConnectedSim::options_t options;
    options.seed = seed;
    options.start = CConnectedSim::Start::Closed;
    if (!controllerPresent) {
        options.prepare = [](CControllerSim& sim) { sim.faults().vanish(); };
    }
    options.wrap = [this, heldLine, wrap](std::unique_ptr<ISerialLine> line) {
        if (heldLine) {
            auto gate = std::make_unique<CHeldLine>(std::move(line));
            held_ = gate.get();
            line = std::move(gate);
        }
        return wrap ? wrap(std::move(line)) : std::move(line);
    };
    options.makeDevice = [this](std::unique_ptr<ISerialLine> line) {
        auto doc = std::make_unique<CDeviceDoc>(std::move(line), &preferences_);
        doc_ = doc.get();
        return std::unique_ptr<CLPGDevice>(std::move(doc));
    };
    connected_ = std::make_unique<CConnectedSim>(std::move(options));
    // A silent controller is given up on quickly; the simulated one answers at once.
    doc_->setSilenceLimit(std::chrono::milliseconds(50), 3);
    doc_->setSystemLocale(QLocale::c());  // the same first CSV layout on every machine
    frame_ = new CDeviceFrame;
    window_ = new CMainFrame(*doc_, frame_);
    doc_->setWindow(window_);
    doc_->setFrame(frame_);
    doc_->setBar(frame_->bar());
    CMessageBox::setShower(
        [this](QWidget*, const QString& text, CMessageBox::Icon, CMessageBox::Buttons buttons) {
            boxes.push_back(text);
            return answer ? answer(text, buttons) : CMessageBox::Answer::Ok;
        });
    CDialogRunner::setRunner([this](QDialog& dialog) {
        dialogTitles.push_back(dialog.windowTitle());
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    });
    CFileDial::setChooser(
        [this](CFileDial::Mode, const QString& folder, const QString&, const QString&) {
            lastFolder = folder;
            return nextFile;
        });
}

AppFixture::~AppFixture() {
    window_->close();
    delete window_;
    connected_.reset();
    CMessageBox::setShower({});
    CDialogRunner::setRunner({});
    CFileDial::setChooser({});
}

bool waitUntil(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return condition();
}
