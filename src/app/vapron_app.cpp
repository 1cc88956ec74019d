#include "app/vapron_app.h"

#include <QTimer>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/lpg_bar.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/qt_preferences.h"
#include "link/serial_port.h"
#include "sim/controller_sim.h"
#include "sim/pty_server.h"

CVapron::CVapron(Options options)
    : options_(std::move(options)), preferences_(std::make_unique<CQtPreferences>()) {}

CVapron::~CVapron() {
    if (mainFrame_) {
        mainFrame_->close();
        delete mainFrame_;
    }
    doc_.reset();
    if (simulator_) {
        simulator_->stop();
    }
}

void CVapron::start() {
    CPortNames names;
    if (!options_.port.empty()) {
        names.setFirstPath(options_.port);
    }
    if (options_.simulate) {
        auto sim = std::make_shared<CControllerSim>();
        simulator_ = std::make_unique<CPtyServer>(sim);
        simulator_->setPacing(options_.pacing);
        simulator_->start();
        names.setFirstPath(simulator_->slavePath());
    }
    auto port = std::make_unique<CSerialPort>();
    port->setPortNames(names);
    doc_ = std::make_unique<CDeviceDoc>(std::move(port), preferences_.get());
    doc_->setSimulated(options_.simulate);

    frame_ = new CDeviceFrame;
    mainFrame_ = new CMainFrame(*doc_, frame_);
    doc_->setWindow(mainFrame_);
    doc_->setFrame(frame_);
    doc_->setBar(frame_->bar());
    wireShortcuts();

    mainFrame_->move(0, 0);
    mainFrame_->resize(1024, 768);
    mainFrame_->showMaximized();
    QTimer::singleShot(0, this, [this] {
        doc_->OnNewDocument();
        // Diagnostics start by themselves once the controller answers.
        doc_->quickStartDiagnostics();
    });
}

void CVapron::workMode(const char* handler, bool (CDeviceDoc::*change)(), const char* failure) {
    runGuarded(mainFrame_, handler, [&] {
        if (!((*doc_).*change)()) {
            CMessageBox::show(mainFrame_, failure);
        }
    });
}

void CVapron::wireShortcuts() {
    connect(frame_, &CDeviceFrame::gasolineRequested, this, [this] {
        workMode("CDevicePanel::onBtnGasoline()", &CDeviceDoc::setWorkGas,
                 "Nie powiodło się przełączenie na benzynę!");
    });
    connect(frame_, &CDeviceFrame::lpgRequested, this, [this] {
        workMode("CDevicePanel::onBtnLpg()", &CDeviceDoc::setWorkLPG,
                 "Nie powiodło się przełączenie na LPG!");
    });
    connect(frame_, &CDeviceFrame::autoRequested, this, [this] {
        workMode("CDevicePanel::onBtnAuto()", &CDeviceDoc::setWorkAuto,
                 "Nie powiodło się przełączenie w tryb AUTO!");
    });
    connect(frame_, &CDeviceFrame::injectorSelected, this,
            [this](int injector) { doc_->selectedInjector() = injector; });
}
