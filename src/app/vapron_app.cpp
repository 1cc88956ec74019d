// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/vapron_app.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdio>
#include <string_view>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/legacy_offer.h"
#include "app/lpg_bar.h"
#include "app/main_frame.h"
#include "app/qt_translations.h"
#include "corrections/ui/map_view.h"
#include "corrections/ui/time_corr_view.h"
#include "display/device_panel.h"
#include "display/display_view.h"
#include "display/series_chart.h"
#include "settings/file_preferences.h"
#include "settings/program_folders.h"
#include "support/version.h"
#include "widgets/message_box.h"

namespace {

// QApplication's own options, which it takes out of the command line itself.
constexpr std::array<std::string_view, 18> kQtValueOptions = {"platform",      "platformpluginpath",
                                                              "platformtheme", "plugin",
                                                              "qmljsdebugger", "qwindowgeometry",
                                                              "qwindowicon",   "qwindowtitle",
                                                              "session",       "display",
                                                              "geometry",      "style",
                                                              "stylesheet",    "title",
                                                              "name",          "visual",
                                                              "font",          "fn"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "widgetcount", "nograb",
                                                      "dograb",  "sync",        "testability"};

// A Qt option's name ("-style", "--style" or "-style=x" give "style"); empty for others.
std::string_view qtOptionName(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-') {
        return {};
    }
    arg.remove_prefix(arg[1] == '-' ? 2 : 1);
    return arg.substr(0, arg.find('='));
}

bool contains(const auto& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

CVapron::Options CVapron::parseArguments(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--no-pacing") {
            options.pacing = false;
        } else if ((arg == "--port" || arg == "--trace") && hasValue) {
            (arg == "--port" ? options.port : options.trace) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (const std::string_view qt = qtOptionName(arg); contains(kQtFlags, qt)) {
            continue;
        } else if (contains(kQtValueOptions, qt) && (arg.find('=') != arg.npos || hasValue)) {
            i += arg.find('=') == arg.npos ? 1 : 0;
        } else {
            options.usageProblem = "nieznana opcja lub brak jej wartości: " + std::string(arg);
            break;
        }
    }
    return options;
}

void CVapron::printUsage() {
    std::printf(
        "Użycie: vapron [--simulate] [--no-pacing] [--port ŚCIEŻKA] [--trace PLIK] [--version]\n"
        "  --simulate       pracuj z symulowanym sterownikiem (bez sprzętu)\n"
        "  --no-pacing      symulowana linia szybciej niż 38 400 bodów\n"
        "  --port ŚCIEŻKA   najpierw spróbuj tego portu szeregowego\n"
        "  --trace PLIK     zapisz ślad komunikacji w PLIKU (także VAPRON_TRACE=PLIK)\n"
        "  --version        wersja programu\n"
        "Przyjmowane są też opcje Qt (-platform, -style, -display, ...).\n"
        "VAPRON_HOME wskazuje folder programu (nagrania, ustawienia samochodów).\n");
}

void CVapron::printVersion() {
    std::printf("vapron %s\n", kVapronVersion);
}

void CVapron::prepareApplication() {
    // QApplication takes the C library's number format from the desktop's locale; on a
    // Polish desktop that is a decimal comma, which the core's files and texts must not
    // get.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Vapron");
    QApplication::setOrganizationName("Vapron");
    // Qt keeps its own settings (the file dialog's last folder and view) in the user's
    // settings folder; the program keeps everything of its own in the program folder.
    const QString folder = QString::fromStdString(CProgramFolders::programFolder());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
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
    std::string traceProblem;
    const std::string trace =
        options_.trace.empty() ? CWireTrace::pathFromEnvironment() : options_.trace;
    if (!trace.empty()) {
        choice.trace = CWireTrace::open(trace, traceProblem);
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
    if (!traceProblem.empty()) {
        CMessageBox::show(mainFrame_, QString::fromStdString(traceProblem),
                          CMessageBox::Icon::Warning);
    }
    // The panel starts diagnostics when it is first shown with a controller connected;
    // the old program's files are copied before the document uses the library.
    QTimer::singleShot(0, this, [this] {
        offerLegacyFiles();
        doc_->OnNewDocument();
        panel_->firstUpdate();
        opened_ = true;
    });
}

void CVapron::offerLegacyFiles() {
    std::vector<std::string> candidates =
        options_.legacyFolders ? *options_.legacyFolders : CProgramFolders::legacyFolders();
    CLegacyOffer(*preferences_, std::move(candidates), CProgramFolders::programFolder())
        .run(mainFrame_);
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
    mainFrame_->addPendingWrite(
        {[map] { return map->unsavedText(); }, [map] { map->OnBtnWrite(); }});
    doc_->setDevicePanel(panel_);
    view_ = new CDisplayView(*doc_);
    frame_->setDisplayView(view_);
    auto* table = new CTimeCorrView(*doc_);  // reads the table once connected
    frame_->setTimeCorrView(table);
    mainFrame_->addPendingWrite(
        {[table] { return table->unsavedText(); }, [table] { table->onTimeCorrSet(); }});
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
