#include "app/device_doc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include "widgets/dialog_runner.h"
#include "app/lpg_bar.h"
#include "widgets/message_box.h"
#include "app/read_diag_dlg.h"
#include "app/rs_setup_dlg.h"
#include "diag/diag_file_thread.h"
#include "diag/diag_rs_thread.h"
#include "diag/settings_history.h"
#include "display/chart_window.h"
#include "display/i_diag_display.h"
#include "link/serial_port.h"
#include "settings/car_settings_store.h"
#include "settings/car_texts.h"
#include "settings/program_folders.h"
#include "settings/ui/car_info_dlg.h"
#include "support/thread_manager.h"

namespace {

CDeviceDoc* g_document = nullptr;

// How long closing waits for the workers before it gives up on them; a worker ends
// within one exchange (about half a second) once its flag is cleared.
constexpr int kWorkerEndMs = 5000;

}  // namespace

CDeviceDoc::CDeviceDoc(std::unique_ptr<ISerialLine> line, IPreferences* preferences,
                       QObject* parent)
    : QObject(parent),
      CLPGDevice(static_cast<IDeviceUi&>(*this), std::move(line)),
      preferences_(preferences),
      carStore_(std::make_unique<CCarSettingsStore>(preferences)) {
    setCarSettingsStore(carStore_.get());
    CMessageBox::setBracket([](bool slow) {
        if (CDeviceDoc* doc = CDeviceDoc::current()) {
            slow ? doc->slowRefresh() : doc->normalRefresh();
        }
    });
    setSnapshotHook([this] { CSettingsHistory::appendSnapshot(recordingName(), info(), store_); });
    // Work-mode pauses keep the window alive.
    setSleeper([](std::chrono::milliseconds pause) {
        if (QThread::currentThread() != qApp->thread()) {
            QThread::msleep(static_cast<unsigned long>(pause.count()));
            return;
        }
        QEventLoop loop;
        QTimer::singleShot(pause, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    });
}

CDeviceDoc::~CDeviceDoc() {
    stopWorkers();
    if (g_document == this) {
        g_document = nullptr;
    }
}

CDeviceDoc* CDeviceDoc::current() {
    return g_document;
}

void CDeviceDoc::setBar(CLPGBar* bar) {
    bar_ = bar;
}

const std::string& CDeviceDoc::recordingName() const {
    return recording_;
}

bool CDeviceDoc::onGuiThread() const {
    return QThread::currentThread() == thread();
}

template <class F>
void CDeviceDoc::onGui(F&& action) {
    if (onGuiThread()) {
        action();
    } else {
        QMetaObject::invokeMethod(this, std::forward<F>(action), Qt::QueuedConnection);
    }
}

template <class R, class F>
R CDeviceDoc::onGuiBlocking(F&& action) {
    if (onGuiThread()) {
        return action();
    }
    R result{};
    QMetaObject::invokeMethod(
        this, [&] { result = action(); }, Qt::BlockingQueuedConnection);
    return result;
}

void CDeviceDoc::OnNewDocument() {
    g_document = this;
    runGuarded(window_, "CDeviceDoc::OnNewDocument()", [&] {
        CReadDiagDlg progress(window_, "Nawiązanie połączenia z urządzeniem...");
        progress.showNow();
        connectAuto();
    });
    emit stateChanged();
}

void CDeviceDoc::SetTitle(const QString& text) {
    title_ = text.isEmpty() ? QString("Vapron") : QString("Vapron - ") + text;
    emit titleChanged(title_);
}

void CDeviceDoc::slowRefresh() {
    if (diagOn_ && refreshPeriod_) {
        refreshPeriod_(kSlowRefreshMs);
    }
}

void CDeviceDoc::normalRefresh() {
    if (diagOn_ && refreshPeriod_) {
        refreshPeriod_(kNormalRefreshMs);
    }
}

// --- diagnostics ---------------------------------------------------------------

void CDeviceDoc::resetViews() {
    store_.clear();
    for (IDiagDisplay* view : {displayView_, devicePanel_}) {
        if (view) {
            view->clearValues();
            view->startRefresh();
        }
    }
}

void CDeviceDoc::startLiveWorker(const std::string& recording) {
    recording_ = recording;
    resetViews();
    ++workers_;
    CThreadManager::instance().insert(
        new CDiagRSThread(*this, store_, recording, diagOn_, selectedInjector_, [this] {
            onDiagStopped();
            --workers_;
        }));
    SetTitle(QString::fromStdString(recording));
    emit stateChanged();
}

void CDeviceDoc::onDiagnostic() {
    runGuarded(window_, "CDeviceDoc::onDiagnostic()", [&] {
        diagOn_ = !diagOn_;
        if (diagOn_) {
            startDiagnostics();
        } else {
            stopDiagnostics();
        }
    });
    emit stateChanged();
}

void CDeviceDoc::startDiagnostics() {
    folder_ = QString::fromStdString(CProgramFolders::dataFolder());
    slowRefresh();
    const QString chosen =
        CFileDial::choose(window_, CFileDial::Mode::Save, folder_, kRecordingFilter, "lpgd");
    normalRefresh();
    QString recording = folder_ + kDefaultRecording;
    if (!chosen.isEmpty()) {
        recording = chosen;
        folder_ = CFileDial::folderOf(chosen);
    }
    startLiveWorker(recording.toStdString());
    CChartWindow::reset();
}

void CDeviceDoc::quickStartDiagnostics() {
    if (diagOn_ || !isConnected()) {
        return;
    }
    diagOn_ = true;
    folder_ = QString::fromStdString(CProgramFolders::dataFolder());
    startLiveWorker((folder_ + kDefaultRecording).toStdString());
}

void CDeviceDoc::stopDiagnostics() {
    for (IDiagDisplay* view : {displayView_, devicePanel_}) {
        if (view) {
            view->stopRefresh();
        }
    }
    SetTitle(QString());
    recording_.clear();
    emit stateChanged();
}

void CDeviceDoc::onDiagStopped() {
    onGui([this] { stopDiagnostics(); });
}

void CDeviceDoc::waitWhileDiagOn() {
    while (diagOn_) {
        QThread::msleep(10);
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

void CDeviceDoc::loadRecording() {
    if (diagOn_) {
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
    SetTitle(path);
    diagOn_ = true;
    emit stateChanged();
    ++workers_;
    CThreadManager::instance().insert(
        new CDiagFileThread(store_, path.toStdString(), diagOn_, [this] { --workers_; }));
    {
        CReadDiagDlg progress(window_, "Wczytywanie pliku diagnostycznego...");
        progress.showNow();
        waitWhileDiagOn();
    }
    recording_ = path.toStdString();
    if (displayView_) {
        displayView_->clearValues();
    }
    if (showAll_) {
        showAll_();
    }
    emit stateChanged();
}

void CDeviceDoc::stopWorkers() {
    diagOn_ = false;
    QElapsedTimer waited;
    waited.start();
    // Blocking questions from a worker are answered meanwhile, so it cannot hang here.
    while (workers_ > 0 && waited.elapsed() < kWorkerEndMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    CThreadManager::instance().joinAll();
}

void CDeviceDoc::OnCloseDocument() {
    stopWorkers();
    stopDiagnostics();
    CLPGDevice::disconnect();
    if (g_document == this) {
        g_document = nullptr;
    }
}

// --- IDeviceUi --------------------------------------------------------------------

IDeviceUi::Answer CDeviceDoc::messageBox(const std::string& text, Icon icon, Buttons buttons) {
    return onGuiBlocking<Answer>(
        [&] { return CMessageBox::show(window_, QString::fromStdString(text), icon, buttons); });
}

void CDeviceDoc::showConnected(bool connected) {
    onGui([this, connected] {
        if (bar_)
            bar_->showConnected(connected, simulated_);
        emit stateChanged();
    });
}

void CDeviceDoc::showControllerError(bool on) {
    onGui([this, on] {
        if (bar_)
            bar_->showControllerError(on);
    });
}

void CDeviceDoc::setProgress(int percent) {
    onGui([this, percent] {
        if (bar_)
            bar_->setProgress(percent);
    });
    if (onGuiThread()) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void CDeviceDoc::showInjectors(std::uint8_t mask) {
    onGui([this, mask] {
        if (bar_)
            bar_->showInjectors(mask);
        emit injectorsShown(mask);
    });
}

void CDeviceDoc::showMainCorrection(double ms) {
    onGui([this, ms] { emit mainCorrectionShown(ms); });
}

void CDeviceDoc::disableQuickEditor() {
    onGui([this] { emit quickEditorDisabled(); });
}

bool CDeviceDoc::askPort(int& port) {
    return onGuiBlocking<bool>([&] {
        CRSSetupDlg dialog(window_);
        if (CDialogRunner::exec(dialog) != QDialog::Accepted) {
            return false;
        }
        if (!dialog.devicePath().isEmpty()) {
            if (auto* serial = dynamic_cast<CSerialPort*>(&line())) {
                CPortNames names = serial->portNames();
                names.setFirstPath(dialog.devicePath().toStdString());
                serial->setPortNames(names);
            }
            port = 1;
        } else {
            port = dialog.port();
        }
        return true;
    });
}

bool CDeviceDoc::askCarInfo() {
    return onGuiBlocking<bool>([&] {
        slowRefresh();
        CCarInfoDlg dialog(window_, preferences_, info());
        const bool confirmed = CDialogRunner::exec(dialog) == QDialog::Accepted;
        normalRefresh();
        if (confirmed) {
            dialog.texts().toRecord(info());
        }
        return confirmed;
    });
}

void CDeviceDoc::statusText(const std::string&) {
    // The composed status text is not shown; the error indicator already tells the user.
}
