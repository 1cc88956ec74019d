// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_doc.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "app/lpg_bar.h"
#include "app/read_diag_dlg.h"
#include "app/rs_setup_dlg.h"
#include "diag/settings_history.h"
#include "display/chart_window.h"
#include "display/i_diag_display.h"
#include "link/serial_port.h"
#include "link/traced_line.h"
#include "link/window_thread.h"
#include "settings/car_settings_store.h"
#include "settings/car_texts.h"
#include "settings/ui/car_info_dlg.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

namespace {

CDeviceDoc* g_document = nullptr;

}  // namespace

CDeviceDoc::CDeviceDoc(std::unique_ptr<ISerialLine> line, IPreferences* preferences,
                       QObject* parent)
    : QObject(parent),
      CLPGDevice(static_cast<IDeviceUi&>(*this), std::move(line)),
      preferences_(preferences),
      carStore_(std::make_unique<CCarSettingsStore>(preferences)),
      settingsWrite_(*this, carStore_.get(), [this](const device_info_t& written) {
          device_info_t snapshot = written;
          CSettingsHistory::appendSnapshot(recordingName(), snapshot, store_);
      }) {
    CWindowThread::mark();  // from here on the controller is asked only from workers
    CMessageBox::setBracket([](bool slow) {
        if (CDeviceDoc* doc = CDeviceDoc::current()) {
            slow ? doc->slowRefresh() : doc->normalRefresh();
        }
    });
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
    stopAutoSetup();
    stopWorkers();
    if (g_document == this) {
        g_document = nullptr;
    }
    CWindowThread::clear();
}

CDeviceDoc* CDeviceDoc::current() {
    return g_document;
}

void CDeviceDoc::setBar(CLPGBar* bar) {
    bar_ = bar;
    if (bar_) {
        QObject::connect(bar_, &CLPGBar::errorClicked, this, [this] {
            if (isConnected() && !procedureRunning()) {
                onErrorsRead();
            }
        });
        QObject::connect(this, &CDeviceDoc::stateChanged, bar_,
                         [this] { bar_->showCar(carLine()); });
    }
}

QString CDeviceDoc::carLine() const {
    if (!isConnected()) {
        return {};
    }
    // The controller's record may still name the car of an earlier job: only the car
    // given for this job is shown.
    const device_info_t held = heldRecord();
    QStringList car;
    for (const std::string* text : {&held.make, &held.model, &held.capacity}) {
        if (jobCarGiven() && !text->empty()) {
            car << QString::fromStdString(*text);
        }
    }
    const QString name = car.isEmpty() ? QString("Samochód nie podany") : car.join(' ');
    return QString("%1 · sterownik %2").arg(name, QString::fromStdString(held.id));
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
    createAutoSetupView();
    // The window is painted before the search, which may end in the port question.
    if (window_) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        window_->repaint();
    }
    runGuarded(window_, "CDeviceDoc::OnNewDocument()", [&] { connectOffWindow(); });
    emit stateChanged();
    emit opened();
}

void CDeviceDoc::connectOffWindow() {
    COffWindow::run(window_, kConnectingText, [&] { return connectAuto(); });
}

void CDeviceDoc::SetTitle(const QString& text) {
    titleText_ = text;
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

void CDeviceDoc::showStatus(const QString& text) {
    if (bar_) {
        bar_->setText(text);
    }
}

void CDeviceDoc::OnCloseDocument() {
    stopAutoSetup();
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
        dialog.setReason(QString("Nie znaleziono sterownika. Sprawdzono:\n%1\nWybierz port "
                                 "przejściówki, do której podłączono sterownik.")
                             .arg(QString::fromStdString(connectReport()).trimmed()));
        const bool accepted = CDialogRunner::exec(dialog) == QDialog::Accepted;
        // The connection notice it covered is drawn again before the port is tried, so
        // no empty box sits over the closed dialog.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!accepted) {
            return false;
        }
        if (!dialog.devicePath().isEmpty()) {
            // A traced line takes the path as the line it wraps would.
            if (auto* serial = dynamic_cast<CSerialPort*>(&CTracedLine::untraced(line()))) {
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
    slowRefresh();
    CCarInfoDlg dialog(window_, preferences_, info());
    const bool confirmed = CDialogRunner::exec(dialog) == QDialog::Accepted;
    normalRefresh();
    if (confirmed) {
        device_info_t given;
        dialog.texts().toRecord(given);
        setJobCar(given.car());
        emit stateChanged();
    }
    return confirmed;
}

setup_write_t CDeviceDoc::withCar(const std::function<setup_write_t()>& write) {
    setup_write_t outcome = write();
    if (outcome.refusal == setup_write_t::Refusal::CarInfo && askCarInfo()) {
        outcome = write();
    }
    return outcome;
}

void CDeviceDoc::statusText(const std::string&) {
    // The composed status text is not shown; the error indicator already tells the user.
}

void CDeviceDoc::showRecordingFrom(double position, double width) {
    CChartWindow::setRange(position, position + width);
    if (auto* view = dynamic_cast<QWidget*>(displayView_)) {
        view->update();
    }
}
