// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/auto_setup.h"

#include <cmath>
#include <string>
#include <thread>

#include "autosetup/auto_setup_text.h"
#include "autosetup/auto_setup_thread.h"
#include "autosetup/correction_acceptance.h"
#include "autosetup/i_auto_setup_ui.h"
#include "diag/diag_data.h"
#include "link/conversions.h"
#include "link/lpg_device.h"
#include "link/request_cancel.h"
#include "support/error_guard.h"
#include "support/thread_manager.h"
#include "writes/settings_write.h"

using namespace autosetup_text;

CAutoSetup::CAutoSetup(CLPGDevice& device, CDiagData& store, IAutoSetupUi& ui,
                       CSettingsWrite& settings)
    : device_(device), settings_(settings), store_(store), ui_(ui) {}

bool CAutoSetup::start(CThreadManager& manager) {
    if (active_.exchange(true)) {
        return false;
    }
    running_ = true;
    manager.insert(new CAutoSetupThread(*this));
    return true;
}

// The last thing the worker does with this object: once active() is false the owner
// may destroy it.
void CAutoSetup::runOnWorker() {
    work();
    active_ = false;
}

bool CAutoSetup::doWork() {
    running_ = true;
    return work();
}

// The flag is not set again here: a Stop pressed before the worker got going counts.
bool CAutoSetup::work() {
    // Stop ends a mode switch or write within the exchange already on the line.
    CRequestCancel cancel(running_);
    succeeded_ = false;
    outcome_ = Outcome::None;
    steps_.clear();
    accepted_.clear();
    constant_.reset();
    written_.reset();
    settingsRead_ = false;
    modeLeft_ = mode_left_t::Unchanged;
    bool written = false;
    // A raised error is the port's or a file's; the run ends like every other failure.
    if (auto text = guarded(kFailedHeading, [&] { written = run(); })) {
        outcome_ = Outcome::Error;
        ui_.showMessage(*text, IDeviceUi::Icon::Error);
    }
    if (!written) {
        ending();
    }
    ui_.runEnded(written, summary());
    return written;
}

std::string CAutoSetup::failureReason() const {
    switch (outcome_) {
        case Outcome::Refused:
            return "nie potwierdzono wolnych obrotów";
        case Outcome::ControllerFailed:
            return "sterownik nie wykonał polecenia (szczegóły w dzienniku)";
        case Outcome::Stopped:
            return "przebieg zatrzymano";
        case Outcome::TooSmall:
            return "wyliczono zbyt małą poprawkę";
        case Outcome::AllRejected:
            return "wszystkie wartości średnie zostały odrzucone";
        case Outcome::Error:
            return "błąd portu lub pliku";
        default:
            return "przebieg nie został ukończony";
    }
}

std::string CAutoSetup::summary() const {
    if (outcome_ == Outcome::Succeeded && written_) {
        return succeededSummary(*written_);
    }
    const auto [mode, fromSamples] = modeShown();
    return failedSummary(failureReason(), mode, fromSamples, written_ ? &*written_ : nullptr);
}

// The mode the controller confirmed last, unless the samples it sent since say otherwise
// (a switch it made without confirming it, or one it undid).
std::pair<autosetup_text::mode_left_t, bool> CAutoSetup::modeShown() const {
    using autosetup_text::mode_left_t;
    app_msg_t last;
    if (modeLeft_ == mode_left_t::Unchanged || store_.getSize() <= sampleMark_ ||
        !store_.getLast(&last)) {
        return {modeLeft_, false};
    }
    const mode_left_t sampled = last.onLpg() ? mode_left_t::Lpg : mode_left_t::Gasoline;
    return {sampled, sampled != modeLeft_};
}

void CAutoSetup::log(const std::string& line) {
    ui_.appendLog(line);
}

bool CAutoSetup::fail(Outcome outcome, const char* line) {
    // A stopped run gives up its exchange with the controller: that is no failure of it.
    if (outcome == Outcome::ControllerFailed && stopped()) {
        return false;
    }
    if (line) {
        log(line);
    }
    outcome_ = outcome;
    return false;
}

void CAutoSetup::ending() {
    ui_.enableStart(true);
    ui_.enableStop(false);
    log(kEnd);
    running_ = false;
}

bool CAutoSetup::stopped() {
    if (running_) {
        return false;
    }
    outcome_ = Outcome::Stopped;
    return true;
}

bool CAutoSetup::run() {
    if (stopped()) {
        return false;
    }
    if (!ui_.askOkCancel(kIdleQuestion)) {
        return fail(Outcome::Refused);
    }
    if (stopped()) {
        return false;
    }
    if (!device_.readSetup(setup_)) {
        return fail(Outcome::ControllerFailed, kReadFailed);
    }
    settingsRead_ = true;
    for (int step = 0; step < kSteps; ++step) {
        if (!runStep(step)) {
            return false;
        }
    }
    return finish();
}

bool CAutoSetup::measure(double& gasolineMs, double& pressureRaw) {
    if (!waitForSamples(kSettleSamples) || !measureAverages(gasolineMs, pressureRaw)) {
        return fail(Outcome::Stopped);
    }
    return true;
}

bool CAutoSetup::runStep(int index) {
    if (stopped()) {
        return false;
    }
    ui_.stepStarted(index + 1, kSteps);
    log("----Krok " + std::to_string(index + 1) + "----");
    log(kToGasoline);
    if (!device_.setWorkGas()) {
        modeLeft_ = mode_left_t::Unknown;  // the switch may have happened unconfirmed
        sampleMark_ = store_.getSize();
        return fail(Outcome::ControllerFailed, kGasolineFailed);
    }
    modeLeft_ = mode_left_t::Gasoline;
    sampleMark_ = store_.getSize();
    log(kMeasureGasoline);
    auto_setup_step_t step;
    double pressureRaw = 0;
    if (!measure(step.gasolineMs, pressureRaw)) {
        return false;
    }
    log(kGasolineTime + number(conv::roundToTimeStep(step.gasolineMs)));
    log(kToLpg);
    if (!device_.setWorkLPG()) {
        modeLeft_ = mode_left_t::Unknown;
        sampleMark_ = store_.getSize();
        return fail(Outcome::ControllerFailed, kLpgFailed);
    }
    modeLeft_ = mode_left_t::Lpg;
    sampleMark_ = store_.getSize();
    if (!measure(step.lpgMs, pressureRaw)) {
        return false;
    }
    step.reducerKpa = conv::rawToPressure(std::trunc(pressureRaw));
    device_.info().reducerPressure = step.reducerKpa;
    step.correction = conv::roundToTimeStep(step.lpgMs - step.gasolineMs);
    log(kGasolineTimeOnLpg + number(conv::roundToTimeStep(step.lpgMs)));
    log(kCorrection + number(step.correction) + kMs);
    steps_.push_back(step);
    return index == 0 ? updateFirstCorrection(step.correction) : true;
}

// Steps 2 to 5 then measure with the corrected value already in the controller.
bool CAutoSetup::updateFirstCorrection(double correction) {
    double& main = setup_.mainCorrection;
    main += correction;
    if (main < kMinMainCorrection) {
        // Kept in the program only: nothing is written.
        main = kMinMainCorrection;
        ui_.showMessage(kTooSmall, IDeviceUi::Icon::None);
        return fail(Outcome::TooSmall);
    }
    if (main > kMaxMainCorrection) {
        main = kMaxMainCorrection;
        ui_.showMessage(kTooLarge, IDeviceUi::Icon::None);
    }
    return write();
}

bool CAutoSetup::write() {
    const setup_write_t written = settings_.write(setup_);
    if (written.tells()) {
        ui_.showMessage(written.problem, written.icon());
    }
    if (!written) {
        // The log names the failed write; a refusal's box said why.
        return fail(Outcome::ControllerFailed, kWriteFailed);
    }
    written_ = setup_.mainCorrection;
    return true;
}

bool CAutoSetup::finish() {
    const correction_acceptance_t acceptance =
        acceptCorrections(stepCorrections(), tolerancePercent_);
    accepted_ = acceptance.accepted;
    const std::optional<double> mean = meanOfAccepted(acceptance);
    if (!mean) {
        ui_.showMessage(kAllRejected, IDeviceUi::Icon::None);
        return fail(Outcome::AllRejected);
    }
    constant_ = conv::roundToTimeStep(*mean);
    log(kResults);
    log(kConstantCorrection + number(*constant_) + kMs);
    log(kWriting);
    const double result = conv::roundToTimeStep(*constant_ + setup_.mainCorrection);
    if (!(result >= kMinWrittenCorrection && result <= kMaxWrittenCorrection)) {
        // The record's field holds 0 to 6 ms only; anything else would wrap in the
        // controller's byte.
        ui_.showMessage(outOfRangeText(result, setup_.mainCorrection), IDeviceUi::Icon::Error);
        log(kNothingWritten);
        return fail(Outcome::OutOfRange);
    }
    setup_.mainCorrection = result;
    if (!write()) {
        return false;
    }
    log(kDone);
    log(kMainWritten + number(*written_) + kMs);
    log(separator());
    ui_.normalRefresh();
    ui_.enableStop(false);
    // Start only now: a second run must not begin while this one is still writing.
    ui_.enableStart(true);
    outcome_ = Outcome::Succeeded;
    succeeded_ = true;
    running_ = false;
    return true;
}

std::vector<double> CAutoSetup::stepCorrections() const {
    std::vector<double> corrections;
    for (const auto& step : steps_) {
        corrections.push_back(step.correction);
    }
    return corrections;
}

bool CAutoSetup::waitForSamples(std::size_t count) {
    std::size_t first = store_.getSize();
    while (running_) {
        const std::size_t now = store_.getSize();
        // A store cleared by a new diagnostic run counts again from its start.
        if (now < first) {
            first = now;
        }
        if (now - first >= count) {
            return true;
        }
        std::this_thread::sleep_for(pollInterval_);
    }
    return false;
}

bool CAutoSetup::measureAverages(double& gasolineMs, double& pressureRaw) {
    const int count = static_cast<int>(kAveragedSamples);
    std::vector<app_msg_t> samples;
    // One copy of the newest block; a store cleared meanwhile means waiting again.
    while (samples.size() < kAveragedSamples) {
        if (!waitForSamples(kAveragedSamples)) {
            return false;
        }
        samples.clear();
        const int end = static_cast<int>(store_.getSize());
        store_.getRange(samples, end - count, end);
    }
    double ticks = 0;
    double pressure = 0;
    for (const app_msg_t& sample : samples) {
        ticks += sample.time_aux;
        pressure += sample.pressure2;
    }
    gasolineMs = store_.clock().ticksToMs(ticks / count);
    pressureRaw = pressure / count;
    return true;
}
