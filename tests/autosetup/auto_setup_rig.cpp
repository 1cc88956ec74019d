// SPDX-License-Identifier: GPL-3.0-or-later
#include "auto_setup_rig.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "diag/diag_rs_thread.h"
#include "settings/car_texts.h"

void CRecordingAutoSetupUi::appendLog(const std::string& line) {
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
    }
    if (onLog) {
        onLog(line);
    }
}

void CRecordingAutoSetupUi::enableStart(bool on) {
    std::lock_guard lock(mutex_);
    buttons.push_back(on ? "start 1" : "start 0");
}

void CRecordingAutoSetupUi::enableStop(bool on) {
    std::lock_guard lock(mutex_);
    buttons.push_back(on ? "stop 1" : "stop 0");
}

void CRecordingAutoSetupUi::showMessage(const std::string& text, IDeviceUi::Icon) {
    std::lock_guard lock(mutex_);
    boxes_.push_back(text);
}

bool CRecordingAutoSetupUi::askOkCancel(const std::string& text) {
    std::lock_guard lock(mutex_);
    questions.push_back(text);
    return answer;
}

std::vector<std::string> CRecordingAutoSetupUi::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> CRecordingAutoSetupUi::boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

namespace {

// The controller's engine lacks `neededMs`; its settings hold `mainMs`.
CConnectedSim::options_t engineOptions(double neededMs, double mainMs, double noiseMs) {
    CConnectedSim::options_t options;
    options.start = CConnectedSim::Start::Closed;
    options.prepare = [=](CControllerSim& sim) {
        sim.setNeededCorrection(neededMs);
        sim.setGasTimeNoise(noiseMs);
        setup_line_t setup = CControllerSim::defaultSetup();
        setup[7] = static_cast<std::uint8_t>(std::lround(mainMs / 0.025));
        sim.setSetup(setup);
    };
    return options;
}

}  // namespace

AutoSetupRig::AutoSetupRig(double neededMs, double mainMs, double noiseMs)
    : connected(engineOptions(neededMs, mainMs, noiseMs)) {
    if (!connected.connect()) {
        throw std::runtime_error("the simulated controller did not answer");
    }
    car_texts_t{"Opel", "Astra", "1.6", "100", "2004", "4", "Zawadzki"}.toRecord(device->info());
    device->setCarInfoGiven(true);
    carStore = std::make_unique<CCarSettingsStore>(&preferences, dir);
    settingsWrite = std::make_unique<CSettingsWrite>(*device, carStore.get());
    procedure = std::make_unique<CAutoSetup>(*device, store, ui, *settingsWrite);
    procedure->setPollInterval(std::chrono::milliseconds(1));
    startAcquisition();
}

AutoSetupRig::~AutoSetupRig() {
    procedure->stop();
    stopAcquisition();
}

void AutoSetupRig::startAcquisition() {
    diagOn = true;
    workers.insert(new CDiagRSThread(*device, store, dir + "/Diagnostyka.lpgd", diagOn, injector));
}

void AutoSetupRig::stopAcquisition() {
    diagOn = false;
    workers.joinAll();
}

double AutoSetupRig::controllerMainCorrection() const {
    return sim->setup()[7] * 0.025;
}

int AutoSetupRig::settingsWrites() const {
    int count = 0;
    for (const auto& request : sim->requests()) {
        count += request.type == proto::MSG_TYPE_SETUP;
    }
    return count;
}

int AutoSetupRig::commands(std::uint8_t code) const {
    int count = 0;
    for (const auto& request : sim->requests()) {
        count += request.type == proto::MSG_TYPE_COMMAND && request.command == code;
    }
    return count;
}
