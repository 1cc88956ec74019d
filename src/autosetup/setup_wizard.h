// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "autosetup/i_setup_wizard_ui.h"
#include "diag/app_msg.h"
#include "link/lpg_device.h"
#include "writes/settings_write.h"

class CDiagData;
class CLPGDevice;

// The step-by-step setup of a first installation: checks that the controller is free
// of stored errors and sends live samples, that the gasoline injector signal and both
// gas temperature sensors read sensibly, takes the installer's basic settings, switches
// the engine to LPG for the first time, runs the auto-calibration and puts the
// controller into automatic mode. Every failure shows its box and ends the setup;
// nothing written to the controller is undone.
class CSetupWizard {
  public:
    // Where a run ended.
    enum class End {
        Finished,  // the controller is in automatic mode
        NoCarInfo,
        ErrorsUnread,
        StoredErrors,
        NoSamples,
        SetupUnread,
        NoDiagSample,
        WriteFailed,
        Cancelled,  // the user stopped at a dialog
        SignalFault,
        SetupRefused,  // the basic settings did not pass the record's check
        LpgFailed,
        CalibrationFailed,
        Abandoned,  // the window went away during the calibration
        AutoFailed,
        Error,  // the port or a file failed (a raised error)
    };

    // Each injector sample is asked for this many times before the setup gives up.
    static constexpr int kSampleAttempts = 10;
    // A longer gasoline time means the controller reads the gaps between the pulses:
    // the injectors are switched the other way round.
    static constexpr double kMaxGasTimeMs = 50.0;
    // The controller has eight gasoline injector inputs.
    static constexpr int kMaxInjectors = 8;

    // `settings` is the settings write every write of the wizard goes through.
    CSetupWizard(CLPGDevice& device, const CDiagData& store, ISetupWizardUi& ui,
                 CSettingsWrite& settings);

    // Live diagnostics must be on as well as the store holding samples (the window
    // program's flag; without one only the store is looked at).
    void setDiagnosticFlag(const std::atomic<bool>* flag) { diagOn_ = flag; }

    // Runs the whole setup on the calling thread.
    End run();

    // The injectors the signal check covers: the typed count read as a decimal number
    // (0 for a text that is none, at most 8), or 2 for a semi-sequential and 1 for a
    // non-sequential installation whatever was typed.
    static int injectorsToCheck(const std::string& typed, std::uint8_t injType);

  private:
    // Where a step ended the setup, or nothing when the setup goes on.
    using Going = std::optional<End>;
    static constexpr Going kGoOn = std::nullopt;

    End steps();
    Going checkController();
    Going checkFirstInjector();
    Going checkSignals();
    Going takeSettings();
    Going switchToLpg();
    Going onLine(const char* text, const std::function<bool()>& operation, End failed,
                 const char* failedText, IDeviceUi::Icon icon = IDeviceUi::Icon::Error);
    Going write(const dev_setup_t& setup);
    Going switchMode(const char* text, bool (CLPGDevice::*command)(), End failed,
                     const char* failedText);
    Going calibrate();
    End finish();
    bool samplesArrive() const;
    bool readSample(int injector, app_msg_t& sample);
    End stop(End end, const std::string& text, ISetupWizardUi::Icon icon);
    Going stopAfterWrite(const setup_write_t& written);
    bool written(const setup_write_t& written);

    CLPGDevice& device_;
    CSettingsWrite& settings_;
    const CDiagData& store_;
    ISetupWizardUi& ui_;
    const std::atomic<bool>* diagOn_ = nullptr;
    // The wizard's own copy of the settings: read once, changed only by its steps.
    dev_setup_t setup_;
};
