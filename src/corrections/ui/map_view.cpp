// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/map_view.h"

#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTime>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/device_doc.h"
#include "corrections/inj_map.h"
#include "corrections/inj_map_build.h"
#include "corrections/inj_map_text.h"
#include "corrections/map_difference.h"
#include "corrections/ui/inj_map_dlg.h"
#include "corrections/ui/map_coverage_view.h"
#include "corrections/ui/map_list.h"
#include "corrections/ui/recording_task.h"
#include "corrections/ui/undo_keys.h"
#include "diag/recording_probe.h"
#include "diag/settings_history.h"
#include "settings/program_folders.h"
#include "support/polish_plural.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"
#include "widgets/off_window.h"
#include "widgets/wait_cursor.h"
#include "widgets/write_outcome_box.h"

namespace {

using Icon = CMessageBox::Icon;
using Buttons = CMessageBox::Buttons;
using Answer = CMessageBox::Answer;

// Narrow margins leave the list the pane's width.
constexpr int kMargin = 4;

constexpr const char* kReadFailed = "Nie powiodło się odczytanie mapy wtrysków z urządzenia!";
constexpr const char* kNoLiveValue =
    "Jedź dalej, aż komórki mapy dostaną wartości; nic nie zostało wpisane.\n"
    "Pokrycie na żywo: żadna komórka nie ma jeszcze ponad 10 próbek na benzynie i na LPG";
constexpr const char* kUnknownHeld =
    "Wpisanie mapy: nie udało się odczytać mapy ze sterownika, więc nie wiadomo, co się "
    "zmieni (brak odpowiedzi albo uszkodzona mapa w sterowniku).\nCzy wpisać mapę mimo to?";
constexpr const char* kResetFailed = "Nie powiodło się zresetowanie urządzenia!";

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CMapView::CMapView(CDeviceDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    list_ = new CMapList(this);
    // Two rows, so that every text shows whole in the pane's width.
    auto* buttons = new QGridLayout;
    read_ = addButton("Wczytaj", "read", &CMapView::OnBtnRead);
    write_ = addButton("Wpisz", "write", &CMapView::OnBtnWrite);
    buttons->addWidget(addButton("Utwórz mapę...", "createMap", &CMapView::OnBtnCreateMap), 0, 0);
    buttons->addWidget(read_, 0, 1);
    buttons->addWidget(write_, 0, 2);
    buttons->addWidget(addButton("Kasuj", "clear", &CMapView::OnBtnClear), 0, 3);
    buttons->addWidget(addButton("Pokaż wykres...", "showChart", &CMapView::OnBtnShowChart), 0, 4);
    buttons->addWidget(createBlockButton(), 0, 5);
    buttons->addWidget(addButton("Uzupełnij puste", "fill", &CMapView::onBtnFill), 1, 0);
    QUndoStack* undo = list_->undoStack();
    auto* back = new QPushButton("Cofnij", this);
    back->setObjectName("undo");
    back->setToolTip("Cofnij ostatnią zmianę mapy (Ctrl+Z)");
    auto* again = new QPushButton("Ponów", this);
    again->setObjectName("redo");
    again->setToolTip("Ponów cofniętą zmianę mapy (Ctrl+Y)");
    back->setEnabled(false);
    again->setEnabled(false);
    connect(back, &QPushButton::clicked, undo, &QUndoStack::undo);
    connect(again, &QPushButton::clicked, undo, &QUndoStack::redo);
    connect(undo, &QUndoStack::canUndoChanged, back, &QWidget::setEnabled);
    connect(undo, &QUndoStack::canRedoChanged, again, &QWidget::setEnabled);
    addUndoKeys(this, undo);
    buttons->addWidget(back, 1, 1);
    buttons->addWidget(again, 1, 2);
    live_ = new QCheckBox("Pokrycie na żywo", this);
    live_->setObjectName("liveCoverage");
    connect(live_, &QCheckBox::toggled, this, &CMapView::setLiveCoverage);
    buttons->addWidget(live_, 1, 3, 1, 2);
    buttons->setColumnStretch(6, 1);
    workingTimer_ = new QTimer(this);
    workingTimer_->setInterval(kWorkingPointMs);
    connect(workingTimer_, &QTimer::timeout, this, &CMapView::updateWorkingPoint);
    workingTimer_->start();
    coverage_ = new CMapCoverageView;
    coverageArea_ = new QScrollArea(this);
    coverageArea_->setWidget(coverage_);
    coverageArea_->setWidgetResizable(true);
    coverageArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    coverageArea_->hide();
    // On the window's thread: the worker only fills the store, which the refresh copies
    // the new samples out of.
    coverageTimer_ = new QTimer(this);
    coverageTimer_->setInterval(kCoverageRefreshMs);
    connect(coverageTimer_, &QTimer::timeout, this, [this] { coverage_->refresh(doc_.store()); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addLayout(buttons);
    layout->addWidget(list_, 1);
    layout->addWidget(coverageArea_, 1);
    auto* legend = new QLabel(legendText(), this);
    legend->setObjectName("legend");
    legend->setWordWrap(true);
    layout->addWidget(legend);
    // The pane is shown from the device menu; its first showing reads the map.
    connect(&doc_, &CDeviceDoc::stateChanged, this, [this] {
        updateButtons();
        if (doc_.mapShown() && !updated_) {
            // After the pane has its width, so that the notice shows over a drawn pane.
            QMetaObject::invokeMethod(this, &CMapView::firstUpdate, Qt::QueuedConnection);
        }
    });
    updateButtons();
}

QPushButton* CMapView::addButton(const QString& text, const char* name,
                                 void (CMapView::*handler)()) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

namespace {

// A small square of `colour` for the legend.
QString swatch(const QColor& colour) {
    return QString("<span style=\"background-color:%1; color:%1\">&#9632;&#9632;</span>")
        .arg(colour.name());
}

}  // namespace

QString CMapView::legendText() {
    return QString(
               "%1 uboższa %2 bogatsza &nbsp; Pokrycie: %3 brak próbek %4 mało %5 dość "
               "&nbsp; &#9701; mniej niż %6 próbek jednego paliwa")
        .arg(swatch(CMapList::valueColor(-10, 10)), swatch(CMapList::valueColor(10, 10)),
             swatch(QColor(CMapCoverageView::kEmpty)), swatch(CMapCoverageView::paleGreen()),
             swatch(QColor(CMapCoverageView::kCovered)))
        .arg(CMapList::kTrustedSamples);
}

// The operations on the selected cells, from a button's menu and the list's own.
QPushButton* CMapView::createBlockButton() {
    using Op = CMapBlock::Operation;
    auto* menu = new QMenu(this);
    const struct {
        const char* text;
        Op op;
        const char* question;  // empty: no amount is asked
    } operations[] = {
        {"Ustaw wartość...", Op::Set, "Wartość zaznaczonych komórek [%]:"},
        {"Dodaj lub odejmij...", Op::Add, "Dodaj punkty procentowe (ujemne odejmują):"},
        {"Skaluj o procent...", Op::Scale, "Zmień o procent (10 zmienia 20% w 22%):"},
        {"Interpoluj", Op::Interpolate, ""},
        {"Wygładź", Op::Smooth, ""},
    };
    for (const auto& o : operations) {
        QAction* action = menu->addAction(o.text);
        const QString name = QString(o.text).remove("...");
        connect(action, &QAction::triggered, this, [this, o, name] {
            double amount = 0;
            if (*o.question && !askAmount(o.question, amount)) {
                return;
            }
            list_->applyToSelection(o.op, amount, name);
        });
    }
    menu->addSeparator();
    QAction* copy = menu->addAction("Kopiuj", list_, &CMapList::copySelection);
    copy->setShortcut(QKeySequence::Copy);
    QAction* paste = menu->addAction("Wklej", this, [this] {
        const QString problem = list_->pasteClipboard();
        if (!problem.isEmpty()) {
            CMessageBox::show(this, CMapList::kPasteRefused + QString("\n") + problem,
                              Icon::Warning);
        }
    });
    paste->setShortcut(QKeySequence::Paste);
    for (QAction* action : {copy, paste}) {
        action->setShortcutContext(Qt::WidgetShortcut);  // the list handles the keys itself
    }
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    list_->addActions(menu->actions());
    blockMenu_ = menu;
    auto* button = new QPushButton("Zaznaczone", this);
    button->setObjectName("block");
    button->setToolTip("Działania na zaznaczonych komórkach (także w menu pod prawym przyciskiem)");
    button->setMenu(menu);
    return button;
}

bool CMapView::askAmount(const QString& question, double& amount) {
    QInputDialog dialog(this);
    dialog.setWindowTitle("Zaznaczone komórki");
    dialog.setLabelText(question);
    dialog.setInputMode(QInputDialog::DoubleInput);
    dialog.setDoubleRange(-1000, 1000);
    dialog.setDoubleDecimals(1);
    dialog.setDoubleValue(0);
    dialog.setOkButtonText("OK");
    dialog.setCancelButtonText("Anuluj");
    if (CDialogRunner::exec(dialog) != QDialog::Accepted) {
        return false;
    }
    amount = dialog.doubleValue();
    return true;
}

void CMapView::updateButtons() {
    read_->setEnabled(doc_.isConnected());
    write_->setEnabled(doc_.isConnected() && !doc_.procedureRunning());
}

void CMapView::firstUpdate() {
    if (updated_) {
        return;
    }
    updated_ = true;
    updateButtons();
    if (!doc_.isConnected()) {
        return;
    }
    OnBtnRead();
    list_->undoStack()->clear();  // the map as found is where undoing ends
}

void CMapView::showFailure(const char* text, const QString& detail) {
    CMessageBox::show(this, QString(text) + "\n" + detail, Icon::Error);
}

void CMapView::OnBtnRead() {
    runGuarded(this, "CMapView::OnBtnRead()", [&] {
        bool stopped = false;
        if (!COffWindow::run(
                this, kReadingText, [&] { return doc_.readMap(); }, &stopped)) {
            if (stopped) {
                return;
            }
            showFailure(kReadFailed,
                        "EEPROM 104-511: brak poprawnej odpowiedzi sterownika albo niezgodna "
                        "suma kontrolna mapy");
            return;
        }
        list_->showMap(doc_.map());
        held_ = doc_.map();
        list_->markSaved();
        proposal_.reset();
    });
}

void CMapView::updateWorkingPoint() {
    int working = -1;
    app_msg_t last;
    if (doc_.diagOn() && doc_.store().getLast(&last)) {
        // The clock of the run shown, a replayed recording's whatever is connected.
        const CControllerClock clock = doc_.store().clock();
        const auto row = injmap::rowOfTime(last.gasTimeMs(clock));
        const auto column = injmap::columnOfSpeed(last.rpm(clock));
        if (row && column) {
            working = injmap::cellIndex(*row, *column);
        }
    }
    list_->setWorkingCell(working);
}

QString CMapView::unsavedText() const {
    const int cells = list_->unsavedCells();
    if (cells == 0) {
        return {};
    }
    return QString("Mapa wtrysków: zmiany w %1 nie zostały wpisane do sterownika")
        .arg(qt(polishCount(cells, polish_nouns::kCellsIn)));
}

void CMapView::onBtnFill() {
    if (list_->fillBetween() == 0) {
        CMessageBox::show(this,
                          "Nie ma pustych komórek między wartościami mapy; nic nie uzupełniono.",
                          Icon::Information);
    }
}

void CMapView::setLiveCoverage(bool on) {
    if (live_->isChecked() != on) {
        live_->setChecked(on);  // the switch calls back with its new state
        return;
    }
    list_->setVisible(!on);
    coverageArea_->setVisible(on);
    if (on) {
        coverage_->restart();
        coverage_->refresh(doc_.store());
        coverageTimer_->start();
    } else {
        coverageTimer_->stop();
    }
}

void CMapView::OnBtnWrite() {
    runGuarded(this, "CMapView::OnBtnWrite()", [&] {
        CWaitCursor wait;
        if (live_->isChecked()) {
            // The live proposal is what "Wpisz" writes; the list then shows the result.
            // A drive without a value yet must not clear the controller's map.
            coverage_->refresh(doc_.store());
            if (coverage_->proposal().empty()) {
                CMessageBox::show(this, QString(kNoLiveValue), Icon::Warning);
                return;
            }
            proposal_ = coverage_->proposal();
            list_->showProposal(*proposal_);
            setLiveCoverage(false);
        }
        if (writeMap()) {
            list_->apply(CMapList::stateOfMap(doc_.map()), "Wpisanie mapy");
            held_ = doc_.map();
            list_->markSaved();  // the controller's copy: what was stored
            proposal_.reset();
            doc_.showStatus(QString("Mapę wtrysków wpisano do urządzenia o %1.")
                                .arg(QString::fromStdString(written_)));
        }
    });
}

// Written, read back and compared, the map switched on or off in the settings, and the
// controller reset so that it takes the new map; stops at the first failure.
bool CMapView::confirmChanges(const CMapList::map_bytes_t& sent) {
    // What the controller holds now, not a copy from when the pane opened: an EEPROM
    // restore or another program may have changed it since.
    held_.reset();
    bool stopped = false;
    if (COffWindow::run(
            this, kReadingText, [&] { return doc_.readMap(); }, &stopped)) {
        held_ = doc_.map();
    } else if (stopped) {
        return false;
    }
    if (!held_) {
        // A controller whose map is damaged must still take a new one.
        return CMessageBox::show(this, kUnknownHeld, Icon::Question,
                                 CMessageBox::Buttons::OkCancel) == CMessageBox::Answer::Ok;
    }
    const map_difference_t change = map_difference_t::between(*held_, sent);
    if (change.count == 0) {
        return true;
    }
    list_->markChanges(change.changed);
    const QString question =
        QString(
            "Wpisanie mapy zmieni %1 z %2 komórek; największa zmiana: %3 pkt proc. (%4).\n"
            "Zmieniane komórki są obramowane. Czy wpisać mapę do sterownika?")
            .arg(change.count)
            .arg(injmap::kCells)
            .arg(change.largest)
            .arg(qt(injmap_text::cellName(change.largestCell)));
    const bool go = CMessageBox::show(this, question, Icon::Question,
                                      CMessageBox::Buttons::OkCancel) == CMessageBox::Answer::Ok;
    list_->markChanges({});
    return go;
}

bool CMapView::writeMap() {
    CMapList::map_bytes_t sent{};
    list_->readCells(sent);
    if (!confirmChanges(sent)) {
        return false;
    }
    held_.reset();  // from here on the controller's copy is known only once read back
    CWriteOutcomeBox::transfer_t transfer;
    transfer.write = [&] {
        return doc_.withCar([&] {
            return COffWindow::run(this, kWritingText,
                                   [&] { return doc_.dataWrite().writeMap(sent); });
        });
    };
    transfer.switchOn = [&] {
        return doc_.withCar([&] {
            return COffWindow::run(this, kWritingText,
                                   [&] { return doc_.dataWrite().switchMapOn(sent); });
        });
    };
    transfer.portOpen = [&] { return doc_.isConnected(); };
    transfer.againQuestion = "Wpisać mapę teraz jeszcze raz?";
    transfer.switchOnQuestion = "Włączyć mapę teraz?";
    const write_outcome_t outcome = CWriteOutcomeBox::runTransfer(this, transfer);
    if (outcome.status == write_outcome_t::Status::NotSwitchedOn) {
        held_ = sent;  // in the controller, verified, only not switched on
    }
    if (!outcome) {
        return false;
    }
    written_ = outcome.when;
    if (outcome.restartPending) {
        showFailure(kResetFailed,
                    "mapa i ustawienia są wpisane; sterownik przyjmie je po wyłączeniu i "
                    "włączeniu zapłonu");
    }
    return true;
}

// The clock the recording was made with, from its companion; without one the usual
// clock (never the connected controller's), which the caller warns of.
bool CMapView::takeClock(CInjMapBuild& build, const std::string& file) {
    const std::optional<CControllerClock> clock = CSettingsHistory::clockOf(file);
    build.setClock(clock.value_or(CControllerClock{}));
    return clock.has_value();
}

void CMapView::OnBtnClear() {
    list_->clearCells();
    proposal_.reset();
    doc_.map().fill(injmap::kNoCorrection);
}

QString CMapView::chooseRecording() {
    doc_.setFolder(QString::fromStdString(CProgramFolders::dataFolder()));
    doc_.slowRefresh();
    const QString path = CFileDial::choose(this, CFileDial::Mode::Open, doc_.folder(),
                                           CDeviceDoc::kRecordingFilter, "lpgd");
    doc_.normalRefresh();
    if (!path.isEmpty()) {
        doc_.setFolder(CFileDial::folderOf(path));
    }
    return path;
}

bool CMapView::opened(const CInjMap& recording) {
    if (recording.reader().isOpen()) {
        return true;
    }
    const std::string reason = CFileIo::describe(recording.reader().openFailure());
    CMessageBox::show(this,
                      QString(injmap_text::kCannotOpen) + "\n" +
                          qt(injmap_text::detail(recording.path(), reason)),
                      Icon::Error);
    return false;
}

void CMapView::showNoSamples(const std::string& file) {
    const std::string reason = CRecordingProbe::probe(file).reason;
    CMessageBox::show(
        this, QString(injmap_text::kNoSamples) + "\n" + qt(injmap_text::detail(file, reason)),
        Icon::Error);
}

void CMapView::OnBtnCreateMap() {
    const QString path = chooseRecording();
    if (!path.isEmpty()) {
        runGuarded(this, "CMapView::OnBtnCreateMap()", [&] { buildFrom(path); });
    }
}

void CMapView::buildFrom(const QString& path) {
    const std::string file = path.toStdString();
    CInjMap recording(file);
    if (!opened(recording)) {
        return;
    }
    CInjMapBuild build;
    const bool clockKnown = takeClock(build, file);
    {
        CWaitCursor wait;
        if (!CRecordingTask::run(
                this, "Tworzenie mapy z pliku diagnostycznego...",
                [&](const CInjMap::Progress& p) { return recording.build(build, p); })) {
            return;
        }
    }
    if (build.samples() == 0) {
        showNoSamples(file);
        return;
    }
    if (!clockKnown) {
        CMessageBox::show(this, qt(injmap_text::unknownClock(file, CControllerClock::kUsualHz)),
                          Icon::Warning);
    }
    const map_proposal_t proposal = build.proposal();
    list_->showProposal(proposal);
    proposal_ = proposal;
    for (int i = 0; i < injmap::kCells; ++i) {
        doc_.map()[i] = proposal.byteAt(i);
    }
    if (recording.unreadLines() > 0) {
        CMessageBox::show(this,
                          qt(injmap_text::unreadLines(file, recording.reader().stopLine(),
                                                      recording.unreadLines())),
                          Icon::Warning);
    }
    if (proposal.empty()) {
        CMessageBox::show(this, qt(injmap_text::emptyProposal(file, proposal)), Icon::Information);
    }
}

void CMapView::OnBtnShowChart() {
    const QString path = chooseRecording();
    if (path.isEmpty()) {
        return;
    }
    doc_.slowRefresh();
    runGuarded(this, "CMapView::OnBtnShowChart()", [&] { chartOf(path); });
    doc_.normalRefresh();
}

void CMapView::chartOf(const QString& path) {
    const std::string file = path.toStdString();
    CInjMap recording(file);
    if (!opened(recording)) {
        return;
    }
    {
        CWaitCursor wait;
        if (!CRecordingTask::run(
                this, "Wczytywanie pliku diagnostycznego...",
                [&](const CInjMap::Progress& p) { return recording.loadAll(p); })) {
            return;
        }
    }
    if (recording.samples().empty()) {
        showNoSamples(file);
        return;
    }
    const std::optional<CControllerClock> clock = CSettingsHistory::clockOf(file);
    if (!clock) {
        CMessageBox::show(this, qt(injmap_text::unknownClock(file, CControllerClock::kUsualHz)),
                          Icon::Warning);
    }
    CInjMapDlg dialog(window(), recording.samples(), clock.value_or(CControllerClock{}));
    doc_.normalRefresh();
    CDialogRunner::exec(dialog);
}
