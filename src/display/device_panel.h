// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <future>

#include <QWidget>

#include "diag/app_msg.h"
#include "display/i_diag_display.h"
#include "link/lpg_device.h"

class CColorStatic;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class CDeviceDoc;

// The live value panel: the newest sample as nine values and the fuel in use, the
// work-mode buttons, the injector and chart selectors, and the quick editor of the
// main correction. While diagnostics run it refreshes every 500 ms, reads the error
// report every 5th refresh and the settings every 20th. Without a controller, and while
// a replayed recording is on screen, it says so instead of showing stale values.
class CDevicePanel : public QWidget, public IDiagDisplay {
    Q_OBJECT
  public:
    static constexpr int kValues = 9;
    static constexpr int kRefreshMs = 500;
    // A new run's first sample is looked for this often, then every kRefreshMs.
    static constexpr int kFirstSampleMs = 20;
    static constexpr int kErrorPollEvery = 5;
    static constexpr int kSettingsPollEvery = 20;
    static constexpr double kSpinStepMs = 0.025;

    CDevicePanel(CDeviceDoc& document, QWidget* parent = nullptr);
    // Waits for a poll still on the line.
    ~CDevicePanel() override;
    // A poll is on the line (tests wait for its answer).
    bool polling() const;

    static constexpr const char* kNoConnectionText = "Brak połączenia";
    static constexpr const char* kReplayText = "Odtwarzanie";

    void clearValues() override;
    // Every value reads "BRAK" and the mode field "Brak połączenia" on grey: there is no
    // controller, or it is gone and its last values are stale.
    void showNoValues();
    // A replayed recording is on screen: the values are not live, the mode field says so.
    void showReplay();
    void startRefresh() override;
    // Diagnostics stopped: the last values stay, greyed, since they are no longer live.
    void stopRefresh() override;
    bool stale() const { return stale_; }

    // One refresh from the newest sample (the timer calls it).
    void refresh();
    // Shows a sample's values and fuel (refresh steps 2 and 3 without the polls).
    void showSample(const app_msg_t& sample);

    void onBtnGasoline();
    void onBtnLpg();
    void onBtnAuto();
    void onBtnSetCorrection();
    // d = -1 for the up arrow (+0.025 ms), +1 for the down arrow.
    void onCorrectionSpin(int d);
    void selectInjector(int injector);
    // Selects a chart kind (0 revolutions … 4 lambda); signals only a change.
    void selectChart(int kind);
    // When the panel is first shown after connecting: diagnostics start by themselves
    // when the controller answers, and the quick editor is enabled only then.
    void firstUpdate();

    QString valueText(int i) const;
    QString fuelText() const;
    QColor fuelColour() const;
    QString correctionText() const;
    void setCorrectionText(const QString& text);
    bool correctionEnabled() const;
    // The quick editor's value is being typed or written: the settings poll leaves it.
    bool correctionBusy() const;
    // How long the arrows must rest before their value is written (tests shorten it).
    void setSpinWriteDelay(std::chrono::milliseconds delay) { spinDelay_ = delay; }
    QLineEdit* correctionEdit() const { return correction_; }
    QComboBox* injectorSelector() const { return injectors_; }
    QComboBox* chartSelector() const { return charts_; }

  signals:
    void chartChosen(int kind);

  private:
    struct mode_switch_t {
        const char* where;    // the guard's name of the command
        const char* running;  // what the box says while it takes a moment
        bool (CLPGDevice::*command)();
        const char* failed;
        std::function<void()> shown;
    };
    void switchMode(const mode_switch_t& mode);

    void build();
    void setFuel(const QString& text, const QColor& colour);
    void setQuickEditorEnabled(bool on);
    void setStale(bool stale);
    void onStateChanged();
    void pollErrors();
    void pollSettings();
    // Runs a poll's exchanges on a worker, so that the window never waits on the line;
    // its result comes back to the window's thread. False while the last one still runs.
    bool pollOffWindow(std::future<void>& poll, std::function<void()> exchanges);
    void writeCorrection(double ms);
    void writeSpunCorrection();

    CDeviceDoc& doc_;
    std::array<CColorStatic*, kValues> values_{};
    CColorStatic* fuel_;
    QComboBox* injectors_;
    QComboBox* charts_;
    QLineEdit* correction_;
    QToolButton* up_;
    QToolButton* down_;
    QPushButton* write_;
    QPushButton* gasoline_;
    QPushButton* lpg_;
    QPushButton* auto_;
    QTimer* timer_;
    QTimer* spinWrite_;
    std::chrono::milliseconds spinDelay_{1000};
    int errorPoll_ = kErrorPollEvery;
    int settingsPoll_ = kSettingsPollEvery;
    bool writing_ = false;
    // A controller of another version: the quick editor stays off until it is gone.
    bool versionLocked_ = false;
    bool stale_ = false;
    std::future<void> errorsPoll_;
    bool awaitingFirst_ = false;  // a run started and its first sample is not shown yet
    std::future<void> settingsPollRun_;
};
