// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "autosetup/auto_setup_text.h"
#include "link/dev_setup.h"

class CDiagData;
class CLPGDevice;
class CSettingsWrite;
class CThreadManager;
class IAutoSetupUi;

// What one step of a run measured.
struct auto_setup_step_t {
    double gasolineMs = 0;  // mean gasoline time on gasoline
    double lpgMs = 0;       // mean gasoline time while on LPG
    double correction = 0;  // their difference, rounded to the time step
    double reducerKpa = 0;  // reducer pressure on LPG
};

// The auto-calibration: with the engine idling, the controller is switched between
// gasoline and LPG five times while the car computer's gasoline times are averaged from
// the live samples; on LPG a lean mixture makes the car computer lengthen its pulses,
// so the difference is the LPG time the main correction lacks. The first difference
// updates the main correction at once; the other four, measured with it in use, are
// residuals whose accepted mean is added at the end.
//
// The run flag is shared with whoever stops the run; the procedure polls it while it
// waits for samples and holds no lock meanwhile. Results are read once the run has
// ended (active() false).
class CAutoSetup {
  public:
    enum class Outcome {
        None,              // no run yet
        Succeeded,         // the result was written to the controller
        Refused,           // the idle question was not answered with OK
        ControllerFailed,  // a read, write or switch got no answer
        Stopped,           // the run flag was cleared during a wait
        TooSmall,          // the first correction made the main correction negative
        AllRejected,       // no step correction passed the acceptance test
        OutOfRange,        // the result lies outside what the record holds; not written
        Error,             // the port or a file failed (a raised error)
    };

    static constexpr int kSteps = 5;
    static constexpr std::size_t kSettleSamples = 60;
    static constexpr std::size_t kAveragedSamples = 40;
    static constexpr double kMinMainCorrection = 0.0;
    static constexpr double kMaxMainCorrection = 4.0;
    // What the settings record can hold at the end of a run.
    static constexpr double kMinWrittenCorrection = 0.0;
    static constexpr double kMaxWrittenCorrection = 6.0;
    static constexpr double kDefaultTolerancePercent = 10.0;
    static constexpr std::chrono::milliseconds kPollInterval{50};

    // `settings` is the settings write the final result goes through.
    CAutoSetup(CLPGDevice& device, CDiagData& store, IAutoSetupUi& ui, CSettingsWrite& settings);
    CAutoSetup(const CAutoSetup&) = delete;
    CAutoSetup& operator=(const CAutoSetup&) = delete;

    // One whole run on the calling thread (the run flag set first); true only when the
    // final result was written.
    bool doWork();
    // Sets the run flag and hands a worker running doWork to `manager`; false (and
    // nothing started) while an earlier run is still active.
    bool start(CThreadManager& manager);
    // Clears the run flag; a waiting run notices it within one poll.
    void stop() { running_ = false; }

    bool running() const { return running_; }
    bool succeeded() const { return succeeded_; }
    // A worker started by start() has not finished doWork yet.
    bool active() const { return active_; }

    // Set while no run is active.
    void setTolerancePercent(double percent) { tolerancePercent_ = percent; }
    double tolerancePercent() const { return tolerancePercent_; }
    void setPollInterval(std::chrono::milliseconds interval) { pollInterval_ = interval; }

    // The last run.
    Outcome outcome() const { return outcome_; }
    const std::vector<auto_setup_step_t>& steps() const { return steps_; }
    std::vector<double> stepCorrections() const;
    const std::vector<double>& acceptedCorrections() const { return accepted_; }
    std::optional<double> constantCorrection() const { return constant_; }
    // The main correction the controller last acknowledged during the run, if any.
    std::optional<double> writtenCorrection() const { return written_; }
    // The settings were read from the controller, so the record's values are its own.
    bool settingsRead() const { return settingsRead_; }
    // The work mode the run set last; the controller stays in it after a failure.
    autosetup_text::mode_left_t modeLeft() const { return modeLeft_; }
    // What the run left in the controller, in words (the closing box of the pane).
    std::string summary() const;

    // Waits until `count` samples have arrived since the call; false when the run flag
    // was cleared first.
    bool waitForSamples(std::size_t count);
    // Waits for 40 new samples and averages the 40 newest: the gasoline time in ms and
    // the raw second pressure reading. False when the run was stopped meanwhile.
    bool measureAverages(double& gasolineMs, double& pressureRaw);

  private:
    friend class CAutoSetupThread;

    void runOnWorker();
    bool work();
    // True (the run is over) once the flag has been cleared.
    bool stopped();
    bool run();
    bool runStep(int index);
    bool measure(double& gasolineMs, double& pressureRaw);
    bool updateFirstCorrection(double correction);
    bool finish();
    bool write();
    bool fail(Outcome outcome, const char* line = nullptr);
    void ending();
    void log(const std::string& line);
    std::string failureReason() const;

    CLPGDevice& device_;
    CSettingsWrite& settings_;
    CDiagData& store_;
    IAutoSetupUi& ui_;
    std::atomic<bool> running_{false};
    std::atomic<bool> succeeded_{false};
    std::atomic<bool> active_{false};
    double tolerancePercent_ = kDefaultTolerancePercent;
    std::chrono::milliseconds pollInterval_ = kPollInterval;

    Outcome outcome_ = Outcome::None;
    std::vector<auto_setup_step_t> steps_;
    std::vector<double> accepted_;
    std::optional<double> constant_;
    std::optional<double> written_;
    bool settingsRead_ = false;
    // The run's own copy of the settings: read once, changed only by the procedure.
    dev_setup_t setup_;
    autosetup_text::mode_left_t modeLeft_ = autosetup_text::mode_left_t::Unchanged;
    // The store's size when the mode was last switched: samples past it show the mode.
    std::size_t sampleMark_ = 0;
    std::pair<autosetup_text::mode_left_t, bool> modeShown() const;
};
