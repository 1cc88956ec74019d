#include "app/vapron_app.h"

#include <QTimer>

#include <QAction>
#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/lpg_bar.h"
#include "app/main_frame.h"
#include "app/qt_preferences.h"
#include "display/device_panel.h"
#include "display/display_view.h"
#include "display/series_chart.h"
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
    panel_ = new CDevicePanel(*doc_);
    frame_->setPanel(panel_);
    doc_->setDevicePanel(panel_);
    view_ = new CDisplayView(*doc_);
    frame_->setDisplayView(view_);
    doc_->setDisplayView(view_);
    doc_->setRefreshPeriodSetter([view = view_](int ms) { view->setRefreshPeriod(ms); });
    doc_->setShowAll([view = view_] { view->showAll(); });
    view_->setTextSink([bar = frame_->bar()](const QString& text) { bar->setText(text); });
    CSeriesChart::setDiagnosticModeSource([doc = doc_.get()] { return doc->diagOn(); });
    mainFrame_->printAction()->setEnabled(true);
    connect(mainFrame_, &CMainFrame::printRequested, view_, &CDisplayView::printWithDialog);
    wireShortcuts();

    mainFrame_->move(0, 0);
    mainFrame_->resize(1024, 768);
    mainFrame_->showMaximized();
    // The panel starts diagnostics when it is first shown with a controller connected.
    QTimer::singleShot(0, this, [this] {
        doc_->OnNewDocument();
        panel_->firstUpdate();
    });
}

void CVapron::wireShortcuts() {
    connect(frame_, &CDeviceFrame::gasolineRequested, panel_, &CDevicePanel::onBtnGasoline);
    connect(frame_, &CDeviceFrame::lpgRequested, panel_, &CDevicePanel::onBtnLpg);
    connect(frame_, &CDeviceFrame::autoRequested, panel_, &CDevicePanel::onBtnAuto);
    connect(frame_, &CDeviceFrame::injectorSelected, panel_, &CDevicePanel::selectInjector);
    connect(frame_, &CDeviceFrame::chartSelected, panel_, &CDevicePanel::selectChart);
    connect(panel_, &CDevicePanel::chartChosen, frame_, &CDeviceFrame::setChartKind);
    connect(panel_, &CDevicePanel::chartChosen, view_, &CDisplayView::switchChart);
}
