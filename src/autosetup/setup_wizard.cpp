// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/setup_wizard.h"

#include <algorithm>
#include <charconv>

#include "autosetup/auto_setup.h"
#include "autosetup/setup_wizard_text.h"
#include "diag/diag_data.h"
#include "diag/sample_check.h"
#include "link/lpg_device.h"
#include "support/error_guard.h"

using namespace setup_wizard_text;
using Icon = ISetupWizardUi::Icon;
using Step = ISetupWizardUi::Step;

CSetupWizard::CSetupWizard(CLPGDevice& device, const CDiagData& store, ISetupWizardUi& ui,
                           CSettingsWrite& settings)
    : device_(device), settings_(settings), store_(store), ui_(ui) {}

int CSetupWizard::injectorsToCheck(const std::string& typed, std::uint8_t injType) {
    if (injType & dev_setup_t::INJ_HALF_SEQ) {
        return 2;
    }
    if (injType & dev_setup_t::INJ_NON_SEQ) {
        return 1;
    }
    const auto first = typed.find_first_not_of(" \t");
    const auto last = typed.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return 0;
    }
    // Only a whole number counts; anything else checks no injector.
    const char* begin = typed.data() + first;
    const char* end = typed.data() + last + 1;
    int count = 0;
    const auto [stop, error] = std::from_chars(begin, end, count);
    if (error != std::errc() || stop != end) {
        return 0;
    }
    return std::clamp(count, 0, kMaxInjectors);
}

CSetupWizard::End CSetupWizard::run() {
    End end = End::Error;
    if (auto text = guarded(kErrorHeading, [&] { end = steps(); })) {
        ui_.showMessage(*text, Icon::Error);
        return End::Error;
    }
    return end;
}

CSetupWizard::End CSetupWizard::stop(End end, const std::string& text, Icon icon) {
    ui_.showMessage(text, icon);
    return end;
}

CSetupWizard::End CSetupWizard::steps() {
    for (auto step : {&CSetupWizard::checkController, &CSetupWizard::checkFirstInjector,
                      &CSetupWizard::checkSignals, &CSetupWizard::takeSettings,
                      &CSetupWizard::switchToLpg, &CSetupWizard::calibrate}) {
        if (const Going end = (this->*step)()) {
            return *end;
        }
    }
    return finish();
}

bool CSetupWizard::samplesArrive() const {
    return (!diagOn_ || diagOn_->load()) && store_.getSize() > 0;
}

// The car is known, the controller holds no stored errors and answers live requests,
// and its settings are read.
CSetupWizard::Going CSetupWizard::checkController() {
    if (!device_.carKnown() && !ui_.askCarInfo()) {
        return stop(End::NoCarInfo, kNoCarInfo, Icon::None);
    }
    CLPGDeviceErr::report_t report{};
    if (const Going end = onLine(
            kReadingErrors, [&] { return device_.readErrors(report); }, End::ErrorsUnread,
            kErrorsUnread, Icon::None)) {
        return end;
    }
    if (!device_.decodeReport(report).empty()) {
        ui_.showMessage(kStoredErrors, Icon::None);
        ui_.showErrors(report);
        return End::StoredErrors;
    }
    if (!samplesArrive()) {
        return stop(End::NoSamples, kNoSamples, Icon::Error);
    }
    return onLine(
        kReadingSettings, [&] { return device_.readSetup(setup_); }, End::SetupUnread,
        kSetupUnread);
}

bool CSetupWizard::readSample(int injector, app_msg_t& sample) {
    CLPGDevice::DiagPayload payload{};
    for (int attempt = 0; attempt < kSampleAttempts; ++attempt) {
        if (device_.requestDiag(injector, payload)) {
            sample.setPayload(payload.data());
            sample.injector = static_cast<std::uint8_t>(injector);
            return true;
        }
    }
    return false;
}

// A controller that reads the gaps between the car computer's pulses sees them far
// too long: its gasoline injectors are switched the other way round.
CSetupWizard::Going CSetupWizard::checkFirstInjector() {
    app_msg_t sample;
    if (const Going end = onLine(
            kReadingSamples, [&] { return readSample(1, sample); }, End::NoDiagSample,
            kNoDiagSample)) {
        return end;
    }
    if (sample.gasTimeMs(device_.clock()) > kMaxGasTimeMs) {
        setup_.setGasoline12V(!setup_.gasoline12V());
        return write(setup_);
    }
    return kGoOn;
}

CSetupWizard::Going CSetupWizard::checkSignals() {
    std::string typed;
    if (!ui_.askCylinders(typed)) {
        return End::Cancelled;
    }
    const int count = injectorsToCheck(typed, setup_.injType);
    for (int injector = 1; injector <= count; ++injector) {
        app_msg_t sample;
        if (const Going end = onLine(
                kReadingSamples, [&] { return readSample(injector, sample); }, End::NoDiagSample,
                kNoDiagSample)) {
            return end;
        }
        std::string problems;
        if (!checkSample(sample, device_.clock(), problems)) {
            return stop(End::SignalFault, std::string(kSignalFaults) + "\n" + problems + "\n",
                        Icon::Error);
        }
    }
    return kGoOn;
}

CSetupWizard::Going CSetupWizard::takeSettings() {
    dev_setup_t& setup = setup_;
    if (!ui_.askBasicSettings(setup)) {
        return End::Cancelled;
    }
    const std::string problems = device_.checkSetup(setup);
    if (!problems.empty()) {
        return stop(End::SetupRefused, problems, Icon::Error);
    }
    // A first installation starts without the injection map and its companion flag.
    setup.setFlag(dev_setup_t::FLAG_SETUP_CLEARED, false);
    setup.setFlag(dev_setup_t::FLAG_INJECTION_MAP, false);
    setup.setFlag(dev_setup_t::FLAG_SETUP_DONE, true);
    if (!setup.hasFlag(dev_setup_t::FLAG_PRESSURE_CORR) || setup.pressureSlope < 0 ||
        setup.refPressure == 0) {
        ui_.showMessage(kNoPressureCorrection, Icon::Information);
    }
    return write(setup);
}

// The write on a worker the user may stop; a stopped write says what the controller got.
CSetupWizard::Going CSetupWizard::write(const dev_setup_t& setup) {
    setup_write_t outcome;
    const ISetupWizardUi::Run run = ui_.runStoppable(kWriting, [&] {
        outcome = settings_.write(setup);
        return static_cast<bool>(outcome);
    });
    if (!written(outcome)) {
        return run == ISetupWizardUi::Run::Stopped && !outcome.tells() ? Going(End::Cancelled)
                                                                       : stopAfterWrite(outcome);
    }
    return kGoOn;
}

// A refusal says its own reason; only an unanswered write needs the wizard's.
CSetupWizard::Going CSetupWizard::stopAfterWrite(const setup_write_t& written) {
    if (written.tells()) {
        return stop(End::WriteFailed, written.problem, written.icon());
    }
    return stop(End::WriteFailed, kWriteFailed, Icon::Error);
}

// A write the controller took: the wizard goes on, and says so when it was not filed.
bool CSetupWizard::written(const setup_write_t& written) {
    if (written && written.tells()) {
        ui_.showMessage(written.problem, written.icon());
    }
    return static_cast<bool>(written);
}

// An exchange on a worker the user may stop: going on, Cancelled when stopped, or the
// failure's end with its box.
CSetupWizard::Going CSetupWizard::onLine(const char* text, const std::function<bool()>& operation,
                                         End failed, const char* failedText, Icon icon) {
    switch (ui_.runStoppable(text, operation)) {
        case ISetupWizardUi::Run::Done:
            return kGoOn;
        case ISetupWizardUi::Run::Stopped:
            return End::Cancelled;
        case ISetupWizardUi::Run::Failed:
            break;
    }
    return stop(failed, failedText, icon);
}

CSetupWizard::Going CSetupWizard::switchMode(const char* text, bool (CLPGDevice::*command)(),
                                             End failed, const char* failedText) {
    return onLine(
        text, [&] { return (device_.*command)(); }, failed, failedText);
}

CSetupWizard::Going CSetupWizard::switchToLpg() {
    if (!ui_.confirm(Step::SwitchToLpg)) {
        return End::Cancelled;
    }
    if (const Going stopped =
            switchMode(kSwitchingToLpg, &CLPGDevice::setWorkLPG, End::LpgFailed, kLpgFailed)) {
        return stopped;
    }
    if (!ui_.confirm(Step::EngineStable) || !ui_.confirm(Step::CalibrationNotes)) {
        return End::Cancelled;
    }
    return kGoOn;
}

// The pane stays shown after a failed calibration: its log says what went wrong.
CSetupWizard::Going CSetupWizard::calibrate() {
    ui_.showCalibrationPane(true);
    double tolerance = CAutoSetup::kDefaultTolerancePercent;
    if (!ui_.askTolerance(tolerance)) {
        return End::Cancelled;
    }
    switch (ui_.runCalibration(tolerance)) {
        case ISetupWizardUi::Calibration::Succeeded:
            break;
        case ISetupWizardUi::Calibration::Abandoned:
            return End::Abandoned;
        case ISetupWizardUi::Calibration::Failed:
            return stop(End::CalibrationFailed, kCalibrationFailed, Icon::Error);
    }
    ui_.showCalibrationPane(false);
    return kGoOn;
}

CSetupWizard::End CSetupWizard::finish() {
    if (!ui_.confirm(Step::Finish)) {
        return End::Cancelled;
    }
    return switchMode(kSwitchingToAuto, &CLPGDevice::setWorkAuto, End::AutoFailed, kAutoFailed)
        .value_or(End::Finished);
}
