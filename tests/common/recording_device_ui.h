// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/i_device_ui.h"

// Records every call a device makes to its user; questions are answered from queues.
class CRecordingDeviceUi : public IDeviceUi {
  public:
    struct Box {
        std::string text;
        Icon icon;
    };

    Answer messageBox(const std::string& text, Icon icon, Buttons buttons) override;
    void showConnected(bool connected) override;
    void showControllerError(bool on) override;
    void setProgress(int percent) override;
    void showInjectors(std::uint8_t mask) override;
    void showMainCorrection(double ms) override;
    void disableQuickEditor() override;
    bool askPort(int& port) override;
    void statusText(const std::string& text) override;

    std::vector<Box> boxes;
    std::vector<bool> connected;
    std::vector<bool> errorIndicator;
    std::vector<int> progress;
    std::vector<std::uint8_t> injectors;
    std::vector<double> mainCorrections;
    int quickEditorDisabled = 0;
    std::vector<std::string> statusTexts;
    int portQuestions = 0;

    // Answers for the questions; an empty queue answers "cancel".
    std::deque<int> portAnswers;
    std::deque<Answer> boxAnswers;

  private:
    std::mutex mutex_;
};
