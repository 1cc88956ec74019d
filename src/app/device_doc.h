// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>

#include "diag/diag_data.h"
#include "diag/diag_rs_thread.h"
#include "link/i_device_ui.h"
#include "link/lpg_device.h"
#include "widgets/off_window.h"
#include "writes/data_write.h"
#include "writes/settings_write.h"

class QWidget;
class CLPGBar;
class CDeviceFrame;
class IDiagDisplay;
class IPreferences;
class CCarSettingsStore;
class CReadDiagDlg;
class CAutoSetupView;

// The one document of the program and at the same time the controller connection.
// It routes every device-menu command to the controller, runs diagnostics and
// replays, and is the user interface of the core: calls that arrive on a worker thread
// are handed to the GUI thread.
class CDeviceDoc : public QObject, public IDeviceUi, public CLPGDevice {
    Q_OBJECT
  public:
    static constexpr const char* kDefaultRecording = "Diagnostyka.lpgd";

    static constexpr const char* kWritingSettingsText = "Wpisywanie ustawień do sterownika...";
    // The settings write of every window: files in the car library and the recording.
    setup_write_t writeSetup(const dev_setup_t& setup) {
        return withCar([&] {
            return COffWindow::run(window_, kWritingSettingsText,
                                   [&] { return settingsWrite_.write(setup); });
        });
    }
    CSettingsWrite& settingsWrite() { return settingsWrite_; }
    // The map, table, fuel-sensor and EEPROM writes of every window.
    CDataWrite& dataWrite() { return dataWrite_; }
    // Runs a write; when it was refused for want of the car (none given yet, or another
    // controller answered since), shows the car dialog and runs it once more.
    setup_write_t withCar(const std::function<setup_write_t()>& write);
    // The car dialog; the job's car once confirmed. GUI thread only.
    bool askCarInfo();
    // True when the car is known or the user gives it now.
    bool ensureCarInfo() { return carKnown() || askCarInfo(); }
    // A Qt filter takes its patterns from the parentheses at its end.
    static constexpr const char* kRecordingFilter = "Pliki diagnostyczne(*.lpgd)";
    static constexpr const char* kEepromFilter = "Pliki eeprom(*.eeprom)";
    static constexpr const char* kCsvFilter = "Pliki CSV(*.csv)";
    static constexpr const char* kServicePassword = "KluczeSerwisow";
    static constexpr int kSlowRefreshMs = 5000;
    static constexpr int kNormalRefreshMs = 500;
    // How long a new run waits for the worker of the previous one; a worker ends within
    // one exchange (about half a second) once its flag is cleared.
    static constexpr int kWorkerEndMs = 5000;

    CDeviceDoc(std::unique_ptr<ISerialLine> line, IPreferences* preferences,
               QObject* parent = nullptr);
    ~CDeviceDoc() override;

    // The process-wide document; null before OnNewDocument and after closing.
    static CDeviceDoc* current();

    // Where the document shows things; any may be absent.
    void setWindow(QWidget* window) { window_ = window; }
    QWidget* window() const { return window_; }
    void setBar(CLPGBar* bar);
    void setFrame(CDeviceFrame* frame) { frame_ = frame; }
    void setDisplayView(IDiagDisplay* view) { displayView_ = view; }
    void setDevicePanel(IDiagDisplay* panel) { devicePanel_ = panel; }
    // How the chart view shows the whole store after a replay.
    void setShowAll(std::function<void()> showAll) { showAll_ = std::move(showAll); }
    // How the chart view's refresh period is set (slow while a modal window is open).
    void setRefreshPeriodSetter(std::function<void(int ms)> setter) {
        refreshPeriod_ = std::move(setter);
    }

    // Start-up: tries a simulated or named device first, then ports 1 to 4 and the
    // port question.
    void OnNewDocument();
    void OnCloseDocument();
    void SetTitle(const QString& text);
    QString title() const { return title_; }

    // Diagnostics.
    void onDiagnostic();
    void startDiagnostics();
    void stopDiagnostics();
    void quickStartDiagnostics();
    void loadRecording();
    // Writes the recording being looked at as CSV (device_doc_export.cpp).
    void exportCsv();
    // "Raport montażu...": the installation as a PDF (device_doc_report.cpp).
    static constexpr const char* kPdfFilter = "Pliki PDF(*.pdf)";
    void writeSetupReport();
    void onDiagStopped();
    // Searches the ports again as start-up does and resumes diagnostics.
    void onReconnect();
    static constexpr const char* kConnectingText = "Nawiązanie połączenia z urządzeniem...";
    // The port search on a worker; the user may stop it.
    void connectOffWindow();
    // When a silent controller counts as lost (see CDiagRSThread::setSilenceLimit).
    void setSilenceLimit(std::chrono::milliseconds quiet, int requests) {
        silence_ = quiet;
        silentRequests_ = requests;
    }
    // An acquisition worker has not ended yet.
    bool workerRunning() const { return workers_ > 0; }

    // Commands of the device menu.
    void readEepromToFile();
    void writeEepromFromFile();
    void onVersionDialog();
    void onErrorsRead();
    static constexpr const char* kClearErrorsQuestion =
        "Skasować błędy zapisane w sterowniku? Skasowanych kodów nie da się później odczytać.";
    void onErrorsClear();
    // The error report, read on a worker; `stopped` tells whether the user stopped it.
    bool readErrorsOffWindow(report_t& report, bool* stopped = nullptr);
    void showErrors(const report_t& report);
    void onUnlock();
    void onInjSequence();
    void onManualSettings();
    // The settings editor, with a car settings file loaded first unless `file` is empty.
    void openSettingsEditor(const std::string& file);
    // "Historia ustawień..." (device_doc_history.cpp).
    void onSettingsHistory();
    void onFuelSensor();
    void onAutoSet();
    void toggleAutoSetupPane();
    void toggleMapPane();
    void onAbout();

    void slowRefresh();
    void normalRefresh();
    // A message in the connection bar's text field ("… wpisano do urządzenia o 14:02:11."),
    // cleared after a while.
    void showStatus(const QString& text);

    bool diagOn() const { return diagOn_; }
    std::atomic<bool>& diagFlag() { return diagOn_; }
    std::atomic<int>& selectedInjector() { return selectedInjector_; }
    CDiagData& store() { return store_; }
    const std::string& recordingName() const;
    // The recording "Eksportuj do CSV..." takes: the one being recorded or looked at, else
    // the last one made or replayed.
    const std::string& exportableRecording() const {
        return recording_.empty() ? exportable_ : recording_;
    }
    // "Opel Astra 1.6 · sterownik 0123456789": the job's car and the controller's ID, as
    // the connection bar keeps them in sight; empty without a controller.
    QString carLine() const;
    // The desktop's locale, which picks the CSV layout offered first until the user has
    // chosen one (tests pin it).
    void setSystemLocale(const QLocale& locale) { systemLocale_ = locale; }
    bool autoSetupShown() const { return autoSetupShown_; }
    // The auto-calibration pane (made by OnNewDocument when the frame is set); may be null.
    CAutoSetupView* autoSetupView() const;
    bool mapShown() const { return mapShown_; }
    const QString& folder() const { return folder_; }
    // The folder the next recording dialog starts in.
    void setFolder(const QString& folder) { folder_ = folder; }
    // How the connection bar names a simulated controller.
    void setSimulated(bool simulated) { simulated_ = simulated; }
    bool simulated() const { return simulated_; }

    // IDeviceUi: safe to call from any thread.
    Answer messageBox(const std::string& text, Icon icon, Buttons buttons) override;
    void showConnected(bool connected) override;
    void showControllerError(bool on) override;
    void setProgress(int percent) override;
    void showInjectors(std::uint8_t mask) override;
    void showMainCorrection(double ms) override;
    void disableQuickEditor() override;
    bool askPort(int& port) override;
    void statusText(const std::string& text) override;

  signals:
    // The menu's enabled states or the title may have changed.
    void stateChanged();
    void titleChanged(const QString& title);
    void mainCorrectionShown(double ms);
    void quickEditorDisabled();
    void injectorsShown(quint8 mask);
    // The controller stopped answering or the adapter went away during a run.
    void linkLost();

  private:
    bool onGuiThread() const;
    template <class F>
    void onGui(F&& action);
    template <class R, class F>
    R onGuiBlocking(F&& action);

    void resetViews();
    // Waits (the window alive) for the previous run's worker; false after `limitMs`.
    bool waitForWorkers(int limitMs);
    // Moves an earlier drive aside; false (with a message) when it could not be kept.
    bool keepPreviousRecording(const std::string& recording);
    bool startLive(const std::string& recording);
    void startLiveWorker(const std::string& recording);
    // On the GUI thread, when a live worker has ended; `run` tells a stale one apart.
    void liveRunEnded(unsigned run, const diag_end_t& end);
    void showLinkLost(const diag_end_t& end);
    void showRecordingFailed(const diag_end_t& end, const std::string& recording);
    bool replay(const std::string& file);
    void stopWorkers();
    // The auto-calibration view and its run (device_doc_autosetup.cpp).
    void createAutoSetupView();
    void stopAutoSetup();

    QWidget* window_ = nullptr;
    QPointer<CLPGBar> bar_;
    CDeviceFrame* frame_ = nullptr;
    IDiagDisplay* displayView_ = nullptr;
    IDiagDisplay* devicePanel_ = nullptr;
    std::function<void(int)> refreshPeriod_;
    std::function<void()> showAll_;
    IPreferences* preferences_ = nullptr;
    QLocale systemLocale_ = QLocale::system();
    std::unique_ptr<CCarSettingsStore> carStore_;
    CSettingsWrite settingsWrite_;
    CDataWrite dataWrite_{*this, settingsWrite_};

    CDiagData store_;
    std::atomic<bool> diagOn_{false};
    std::atomic<int> selectedInjector_{1};
    std::atomic<int> workers_{0};
    unsigned run_ = 0;      // the run the views belong to; a worker of another is stale
    bool waiting_ = false;  // a command waits for a worker; no second run may start
    diag_end_t replayEnd_;  // written by the replay worker before it counts itself gone
    std::chrono::milliseconds silence_ = CDiagRSThread::kSilenceLimit;
    int silentRequests_ = CDiagRSThread::kSilentRequests;
    std::string recording_;
    std::string exportable_;
    mutable std::mutex recordingMutex_;
    bool autoSetupShown_ = false;
    QPointer<CAutoSetupView> autoSetupView_;
    bool mapShown_ = false;
    bool simulated_ = false;
    QString folder_;
    QString title_;
    QString titleText_;

  public:
    // Shows the recording in the display view from sample `position` over `width` samples
    // (a settings snapshot chosen while diagnostics are off).
    void showRecordingFrom(double position, double width);

  signals:
    // The record's time-correction table was replaced (a settings snapshot was chosen).
    void timeTableReplaced();
    // OnNewDocument has tried to connect: the views read the controller for the first time.
    void opened();

  public:
    // The step-by-step setup (device_doc_wizard.cpp), with the menu greyed meanwhile.
    void runSetupWizard();
    bool wizardRunning() const { return wizardRunning_; }
    // The auto-calibration view tells when its run starts and ends.
    void setAutoSetupActive(bool active);
    // The wizard or an auto-calibration runs: both switch modes and write settings, so
    // every other command that does is refused meanwhile.
    bool procedureRunning() const { return wizardRunning_ || autoSetupActive_; }
    // Shows or hides the auto-calibration pane and keeps autoSetupShown() in step.
    void showAutoSetupPane(bool shown);

  private:
    bool wizardRunning_ = false;
    bool autoSetupActive_ = false;
};
