#include "app/vapron_app.h"

#include <clocale>
#include <cstdio>
#include <cstring>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/lpg_bar.h"
#include "app/main_frame.h"
#include "app/qt_translations.h"
#include "corrections/ui/map_view.h"
#include "corrections/ui/time_corr_view.h"
#include "display/device_panel.h"
#include "display/display_view.h"
#include "display/series_chart.h"
#include "settings/file_preferences.h"

CVapron::Options CVapron::parseArguments(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--simulate") == 0) {
            options.simulate = true;
        } else if (std::strcmp(argv[i], "--no-pacing") == 0) {
            options.pacing = false;
        } else if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            options.port = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            options.help = true;
        }
    }
    return options;
}

void CVapron::printUsage() {
    std::printf(
        "vapron [--simulate] [--no-pacing] [--port PATH]\n"
        "  --simulate   run against a simulated controller (no hardware needed)\n"
        "  --no-pacing  let the simulated line run faster than 38400 baud\n"
        "  --port PATH  try this serial device first\n"
        "VAPRON_HOME sets the program folder (recordings, car settings).\n");
}

void CVapron::prepareApplication() {
    // QApplication takes the C library's number format from the desktop's locale; on a
    // Polish desktop that is a decimal comma, which the core's files and texts must not
    // get.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Vapron");
    QApplication::setOrganizationName("Vapron");
    // A bare X session names no icon theme but hicolor, which has no printer for the
    // toolbar; the usual desktop theme has one when it is installed.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor") {
        QIcon::setThemeName("Adwaita");
    }
    QString problem;
    if (!CQtTranslations::install(&problem)) {
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
    }
}

CVapron::CVapron(Options options)
    : options_(std::move(options)), preferences_(std::make_unique<CFilePreferences>()) {}

CVapron::~CVapron() {
    if (mainFrame_) {
        mainFrame_->close();
        delete mainFrame_;
    }
    doc_.reset();
    if (line_.server) {
        line_.server->stop();
    }
}

void CVapron::start() {
    line_choice_t choice;
    choice.firstPath = options_.port;
    choice.pacing = options_.pacing;
    if (options_.simulate) {
        choice.kind = options_.inProcess ? line_choice_t::Kind::SimulatedInProcess
                                         : line_choice_t::Kind::SimulatedOnPty;
    }
    line_ = makeSerialLine(choice);
    doc_ = std::make_unique<CDeviceDoc>(std::move(line_.line), preferences_.get());
    doc_->setSimulated(options_.simulate);
    createWindows();
    wireShortcuts();

    mainFrame_->move(0, 0);
    // The size before maximising, kept on the screen where maximising is not honoured.
    QSize size(1024, 768);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    mainFrame_->resize(size);
    mainFrame_->showMaximized();
    // The panel starts diagnostics when it is first shown with a controller connected.
    QTimer::singleShot(0, this, [this] {
        doc_->OnNewDocument();
        panel_->firstUpdate();
        opened_ = true;
    });
}

void CVapron::createWindows() {
    frame_ = new CDeviceFrame;
    mainFrame_ = new CMainFrame(*doc_, frame_);
    doc_->setWindow(mainFrame_);
    doc_->setFrame(frame_);
    doc_->setBar(frame_->bar());
    panel_ = new CDevicePanel(*doc_);
    frame_->setPanel(panel_);
    auto* map = new CMapView(*doc_);
    frame_->setMapView(map);
    mainFrame_->addUnsavedCheck([map] { return map->unsavedText(); });
    doc_->setDevicePanel(panel_);
    view_ = new CDisplayView(*doc_);
    frame_->setDisplayView(view_);
    auto* table = new CTimeCorrView(*doc_);  // reads the table once connected
    frame_->setTimeCorrView(table);
    mainFrame_->addUnsavedCheck([table] { return table->unsavedText(); });
    doc_->setDisplayView(view_);
    doc_->setRefreshPeriodSetter([view = view_](int ms) { view->setRefreshPeriod(ms); });
    doc_->setShowAll([view = view_] { view->showAll(); });
    view_->setTextSink([bar = frame_->bar()](const QString& text) { bar->setText(text); });
    CSeriesChart::setDiagnosticModeSource([doc = doc_.get()] { return doc->diagOn(); });
    mainFrame_->printAction()->setEnabled(true);
    connect(mainFrame_, &CMainFrame::printRequested, view_, &CDisplayView::printWithDialog);
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
