// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording_device_ui.h"

IDeviceUi::Answer CRecordingDeviceUi::messageBox(const std::string& text, Icon icon, Buttons) {
    std::lock_guard lock(mutex_);
    boxes.push_back({text, icon});
    if (boxAnswers.empty()) {
        return Answer::Ok;
    }
    Answer answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

void CRecordingDeviceUi::showConnected(bool on) {
    std::lock_guard lock(mutex_);
    connected.push_back(on);
}

void CRecordingDeviceUi::showControllerError(bool on) {
    std::lock_guard lock(mutex_);
    errorIndicator.push_back(on);
}

void CRecordingDeviceUi::setProgress(int percent) {
    std::lock_guard lock(mutex_);
    progress.push_back(percent);
}

void CRecordingDeviceUi::showInjectors(std::uint8_t mask) {
    std::lock_guard lock(mutex_);
    injectors.push_back(mask);
}

void CRecordingDeviceUi::showMainCorrection(double ms) {
    std::lock_guard lock(mutex_);
    mainCorrections.push_back(ms);
}

void CRecordingDeviceUi::disableQuickEditor() {
    std::lock_guard lock(mutex_);
    ++quickEditorDisabled;
}

bool CRecordingDeviceUi::askPort(int& port) {
    std::lock_guard lock(mutex_);
    ++portQuestions;
    if (portAnswers.empty()) {
        return false;
    }
    port = portAnswers.front();
    portAnswers.pop_front();
    return true;
}

void CRecordingDeviceUi::statusText(const std::string& text) {
    std::lock_guard lock(mutex_);
    statusTexts.push_back(text);
}
