// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "autosetup/auto_setup.h"
#include "autosetup/i_auto_setup_ui.h"
#include "connected_sim.h"
#include "diag/diag_data.h"
#include "link/lpg_device.h"
#include "settings/car_settings_store.h"
#include "settings/memory_preferences.h"
#include "support/thread_manager.h"
#include "temp_dir.h"
#include "writes/settings_write.h"

// Records what the procedure tells its user; the idle question is answered from a flag.
class CRecordingAutoSetupUi : public IAutoSetupUi {
  public:
    void appendLog(const std::string& line) override;
    void enableStart(bool on) override;
    void enableStop(bool on) override;
    void showMessage(const std::string& text, IDeviceUi::Icon icon) override;
    bool askOkCancel(const std::string& text) override;
    void normalRefresh() override { ++refreshes; }

    std::vector<std::string> lines() const;
    std::vector<std::string> boxes() const;

    bool answer = true;
    // Called on the procedure's thread after each line is recorded.
    std::function<void(const std::string&)> onLog;
    std::vector<std::string> questions;
    // "start 1", "stop 0", … in call order.
    std::vector<std::string> buttons;
    std::atomic<int> refreshes{0};

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::string> boxes_;
};

// The procedure on the in-process simulated controller, with live acquisition running
// into a store as in the program; nothing waits for real time but the polls.
class AutoSetupRig {
  public:
    // The engine lacks `neededMs` of LPG time; the controller starts with `mainMs`.
    AutoSetupRig(double neededMs, double mainMs, double noiseMs = 0.02);
    ~AutoSetupRig();

    void startAcquisition();
    void stopAcquisition();
    // The main correction the simulated controller holds, ms.
    double controllerMainCorrection() const;
    // Settings records the controller received.
    int settingsWrites() const;
    // Requests of the given command code.
    int commands(std::uint8_t code) const;

    CTempDir folder;
    std::string dir = folder.root();
    CConnectedSim connected;
    CControllerSim* sim = &connected.sim();
    CRecordingDeviceUi& deviceUi = connected.ui();
    CLPGDevice* device = &connected.device();
    CMemoryPreferences preferences;
    std::unique_ptr<CCarSettingsStore> carStore;
    std::unique_ptr<CSettingsWrite> settingsWrite;
    CDiagData store;
    std::atomic<bool> diagOn{false};
    std::atomic<int> injector{1};
    CThreadManager workers;
    CRecordingAutoSetupUi ui;
    std::unique_ptr<CAutoSetup> procedure;
};
