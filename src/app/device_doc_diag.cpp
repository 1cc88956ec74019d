// SPDX-License-Identifier: GPL-3.0-or-later
// Diagnostics of the device document: live runs, replays, a lost controller and the
// reconnection. At most one acquisition worker runs at a time: a new run starts only
// once the previous worker has ended, and what a stale worker reports is ignored.
#include <ctime>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMetaObject>
#include <QTimer>

#include "app/device_doc.h"
#include "app/lpg_bar.h"
#include "app/read_diag_dlg.h"
#include "diag/diag_file_thread.h"
#include "diag/recording_archive.h"
#include "diag/recording_probe.h"
#include "display/chart_window.h"
#include "display/i_diag_display.h"
#include "settings/program_folders.h"
#include "support/thread_manager.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

namespace {

constexpr int kWaitTickMs = 10;

constexpr const char* kUnknownClockText =
    "Nagranie nie ma zapisanego zegara sterownika: czasy i obroty przeliczono dla %1 Hz.";
constexpr const char* kLinkLostText =
    "Utracono połączenie ze sterownikiem LPG. Sprawdź przewód do sterownika, zasilanie "
    "sterownika (zapłon) i adapter USB-RS232, a potem wybierz „Połącz ponownie” w menu "
    "Diagnostyka.";
constexpr const char* kWriteFailedText =
    "Zapis danych diagnostycznych został przerwany i tryb diagnostyczny wyłączono. Zwolnij "
    "miejsce na dysku albo wybierz inny plik i włącz tryb diagnostyczny ponownie.";
constexpr const char* kCreateFailedText =
    "Nie można otworzyć pliku do zapisu danych diagnostycznych. Wybierz inny plik lub folder "
    "i włącz tryb diagnostyczny ponownie.";
constexpr const char* kCannotReadText =
    "Nie można otworzyć pliku do odczytu danych diagnostycznych";
constexpr const char* kNoSamplesText = "Plik nie zawiera próbek diagnostycznych.";
constexpr const char* kNotRecordingText =
    "Wybrany plik nie jest zapisem diagnostycznym. Wybierz plik .lpgd zapisany w trybie "
    "diagnostycznym.";
constexpr const char* kStillRunningText =
    "Poprzedni odczyt diagnostyczny jeszcze się nie zakończył. Spróbuj ponownie za chwilę.";
constexpr const char* kUnreadEndText =
    "Nie wczytano końca nagrania: od wiersza %1 plik nie zawiera poprawnych próbek. Wykres "
    "pokazuje próbki sprzed tego wiersza.\n%2: nieodczytane wiersze od wiersza %1 (niepustych: "
    "%3)";
constexpr const char* kKeepFailedText =
    "Nie można przenieść poprzedniego zapisu diagnostycznego, więc nowy zapis nie został "
    "rozpoczęty. Sprawdź uprawnienia do folderu z zapisami.";

// The technical line of an error text whose first lines may already advise the user.
QString lastLine(const std::string& text) {
    const QStringList lines = QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.back();
}

// The system's own words of a port failure without the program's function names:
// "port /dev/ttyUSB0: EIO (urządzenie odłączone)".
QString portDetail(const std::string& message) {
    QString line = lastLine(message);
    if (line.startsWith("CSerialPort::")) {
        line = "port " + line.mid(line.indexOf(' ') + 1);
    }
    return line;
}

}  // namespace

void CDeviceDoc::resetViews() {
    store_.clear();
    for (IDiagDisplay* view : {displayView_, devicePanel_}) {
        if (view) {
            view->clearValues();
            view->startRefresh();
        }
    }
}

bool CDeviceDoc::waitForWorkers(int limitMs) {
    if (workers_ == 0) {
        return true;
    }
    // Blocking questions from the worker are answered meanwhile, so it cannot hang here.
    waiting_ = true;
    QElapsedTimer waited;
    waited.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (workers_ == 0 || (limitMs >= 0 && waited.elapsed() >= limitMs)) {
            loop.quit();
        }
    });
    tick.start(kWaitTickMs);
    loop.exec();
    waiting_ = false;
    return workers_ == 0;
}

bool CDeviceDoc::keepPreviousRecording(const std::string& recording) {
    const CRecordingArchive::result_t kept =
        CRecordingArchive::setAside(recording, std::time(nullptr));
    if (!kept.ok()) {
        CMessageBox::show(window_,
                          QString(kKeepFailedText) + "\n" + QString::fromStdString(kept.error),
                          Icon::Error);
        return false;
    }
    if (kept.moved && bar_) {
        bar_->setText("Poprzedni zapis przeniesiono do " +
                      QFileInfo(QString::fromStdString(kept.movedTo)).fileName());
    }
    return true;
}

bool CDeviceDoc::startLive(const std::string& recording) {
    if (!waitForWorkers(kWorkerEndMs)) {
        CMessageBox::show(window_, kStillRunningText, Icon::Warning);
        return false;
    }
    // The last worker may have ended on a lost line while it was waited for.
    if (!isConnected() || !keepPreviousRecording(recording)) {
        return false;
    }
    diagOn_ = true;
    startLiveWorker(recording);
    return true;
}

void CDeviceDoc::startLiveWorker(const std::string& recording) {
    recording_ = recording;
    resetViews();
    const unsigned run = ++run_;
    auto* worker = new CDiagRSThread(*this, store_, recording, diagOn_, selectedInjector_);
    worker->setSilenceLimit(silence_, silentRequests_);
    worker->setEndHandler([this, run](const diag_end_t& end) {
        QMetaObject::invokeMethod(
            this, [this, run, end] { liveRunEnded(run, end); }, Qt::QueuedConnection);
        --workers_;  // last: a waiting command may start the next run from here on
    });
    ++workers_;
    CThreadManager::instance().insert(worker);
    SetTitle(QString::fromStdString(recording));
    emit stateChanged();
}

void CDeviceDoc::onDiagnostic() {
    runGuarded(window_, "CDeviceDoc::onDiagnostic()", [&] {
        if (diagOn_) {
            diagOn_ = false;
            stopDiagnostics();
        } else {
            startDiagnostics();
        }
    });
    emit stateChanged();
}

// Cancelling the save dialog still records, into the default file of the data folder;
// a drive already there is moved aside first, so nothing is lost.
void CDeviceDoc::startDiagnostics() {
    if (waiting_) {
        return;
    }
    folder_ = QString::fromStdString(CProgramFolders::dataFolder());
    slowRefresh();
    const QString chosen =
        CFileDial::choose(window_, CFileDial::Mode::Save, folder_, kRecordingFilter, "lpgd");
    normalRefresh();
    QString recording = folder_ + kDefaultRecording;
    if (!chosen.isEmpty()) {
        folder_ = CFileDial::folderOf(chosen);
        recording = chosen;
    }
    if (startLive(recording.toStdString())) {
        CChartWindow::reset();
    }
}

void CDeviceDoc::quickStartDiagnostics() {
    if (diagOn_ || waiting_ || !isConnected()) {
        return;
    }
    folder_ = QString::fromStdString(CProgramFolders::dataFolder());
    // A new run (after Połącz ponownie too) is followed from its first sample.
    if (startLive((folder_ + kDefaultRecording).toStdString())) {
        CChartWindow::reset();
    }
}

void CDeviceDoc::stopDiagnostics() {
    for (IDiagDisplay* view : {displayView_, devicePanel_}) {
        if (view) {
            view->stopRefresh();
        }
    }
    if (bar_) {
        bar_->lampsOff();  // no sample tells of the injectors any more
    }
    SetTitle(QString());
    // The run's file stays what "Eksportuj do CSV..." exports; the connection's recording
    // name goes, so later settings snapshots are not added to a finished run.
    if (!recording_.empty()) {
        exportable_ = recording_;
    }
    recording_.clear();
    emit stateChanged();
}

void CDeviceDoc::onDiagStopped() {
    QMetaObject::invokeMethod(
        this, [this] { stopDiagnostics(); }, Qt::QueuedConnection);
}

void CDeviceDoc::liveRunEnded(unsigned run, const diag_end_t& end) {
    if (run != run_) {
        return;  // an earlier run's worker: the present run is not its business
    }
    if (end.linkLost && operationRunning()) {
        // A transfer in progress (its progress lets this through) keeps the port open
        // until it has finished or failed whole; the loss is told after it.
        QTimer::singleShot(kWaitTickMs, this, [this, run, end] { liveRunEnded(run, end); });
        return;
    }
    const bool wasOn = diagOn_;
    const std::string recording = recording_;
    if (wasOn) {
        diagOn_ = false;
        stopDiagnostics();
    }
    if (end.byError && end.linkLost) {
        showLinkLost(end);
    } else if (end.byError && wasOn) {
        showRecordingFailed(end, recording);
    }
    emit stateChanged();
}

void CDeviceDoc::showLinkLost(const diag_end_t& end) {
    CLPGDevice::disconnect();
    if (bar_) {
        bar_->showConnected(false, simulated_);
    }
    emit linkLost();
    emit stateChanged();
    // The worker's own reason when it gave up on a silent controller, else the port's.
    const QString detail =
        end.reason.empty() ? portDetail(end.message) : QString::fromStdString(end.reason);
    CMessageBox::show(window_, QString(kLinkLostText) + "\n" + detail, Icon::Error);
}

void CDeviceDoc::showRecordingFailed(const diag_end_t& end, const std::string& recording) {
    QString detail = QString::fromStdString(recording);
    if (!end.reason.empty()) {
        detail += ": " + QString::fromStdString(end.reason);
    }
    CMessageBox::show(window_,
                      QString(end.opened ? kWriteFailedText : kCreateFailedText) + "\n" + detail,
                      Icon::Error);
}

void CDeviceDoc::loadRecording() {
    if (diagOn_ || waiting_) {
        return;
    }
    folder_ = QString::fromStdString(CProgramFolders::dataFolder());
    slowRefresh();
    const QString path =
        CFileDial::choose(window_, CFileDial::Mode::Open, folder_, kRecordingFilter, "txt");
    normalRefresh();
    if (path.isEmpty()) {
        return;
    }
    folder_ = CFileDial::folderOf(path);
    const std::string file = path.toStdString();
    // A file that cannot be replayed leaves the chart, the title and the file name as
    // they were.
    const CRecordingProbe::probe_t probe = CRecordingProbe::probe(file);
    if (probe.result != CRecordingProbe::Result::Samples) {
        const bool opened = probe.result == CRecordingProbe::Result::NoSamples;
        const char* text = !opened         ? kCannotReadText
                           : probe.foreign ? kNotRecordingText
                                           : kNoSamplesText;
        CMessageBox::show(window_,
                          QString(text) + "\n" + path + ": " + QString::fromStdString(probe.reason),
                          Icon::Error);
        return;
    }
    if (!waitForWorkers(kWorkerEndMs)) {
        CMessageBox::show(window_, kStillRunningText, Icon::Warning);
        return;
    }
    replay(file);
    emit stateChanged();
}

bool CDeviceDoc::replay(const std::string& file) {
    const QString previousTitle = titleText_;
    SetTitle(QString::fromStdString(file));
    ++run_;
    diagOn_ = true;
    emit stateChanged();
    replayEnd_ = {};
    auto* worker = new CDiagFileThread(store_, file, diagOn_);
    worker->setEndHandler([this](const diag_end_t& end) {
        replayEnd_ = end;
        --workers_;
    });
    ++workers_;
    CThreadManager::instance().insert(worker);
    {
        CReadDiagDlg progress(window_, "Wczytywanie pliku diagnostycznego...");
        progress.showNow();
        waitForWorkers(-1);
    }
    diagOn_ = false;
    if (replayEnd_.byError || store_.getSize() == 0) {
        // The file changed since it was looked into.
        SetTitle(previousTitle);
        CMessageBox::show(window_,
                          QString(replayEnd_.byError ? kCannotReadText : kNoSamplesText) + "\n" +
                              QString::fromStdString(file),
                          Icon::Error);
        return false;
    }
    recording_ = file;
    exportable_ = file;
    if (displayView_) {
        displayView_->clearValues();
    }
    if (showAll_) {
        showAll_();
    }
    // Never the connected controller's clock: the recording's, or the usual one, said.
    showStatus(store_.clockKnown() ? QString()
                                   : QString(kUnknownClockText).arg(CControllerClock::kUsualHz));
    if (replayEnd_.unreadLines > 0) {
        CMessageBox::show(window_,
                          QString(kUnreadEndText)
                              .arg(replayEnd_.stopLine)
                              .arg(QString::fromStdString(file))
                              .arg(replayEnd_.unreadLines),
                          Icon::Warning);
    }
    return true;
}

void CDeviceDoc::onReconnect() {
    if (diagOn_ || waiting_ || !waitForWorkers(kWorkerEndMs)) {
        return;
    }
    runGuarded(window_, "CDeviceDoc::onReconnect()", [&] {
        CLPGDevice::disconnect();
        if (bar_) {
            bar_->showConnected(false, simulated_);
        }
        emit stateChanged();
        connectOffWindow();
    });
    emit stateChanged();
    quickStartDiagnostics();
}

void CDeviceDoc::stopWorkers() {
    diagOn_ = false;
    ++run_;  // what the last worker still reports comes too late to be shown
    waitForWorkers(kWorkerEndMs);
    CThreadManager::instance().joinAll();
}
