// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// How the controller connection reaches the user. The window program implements it
// (posting to the GUI thread when called from a worker); tests and the command-line
// tool use CRecordingDeviceUi or a null implementation.
class IDeviceUi {
  public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~IDeviceUi() = default;

    // A modal box; the caption is always the program's name.
    virtual Answer messageBox(const std::string& text, Icon icon = Icon::None,
                              Buttons buttons = Buttons::Ok) = 0;

    // Connection bar.
    virtual void showConnected(bool connected) = 0;
    virtual void showControllerError(bool on) = 0;
    virtual void setProgress(int percent) = 0;
    virtual void showInjectors(std::uint8_t mask) = 0;

    // The live panel's quick main-correction editor.
    virtual void showMainCorrection(double ms) = 0;
    virtual void disableQuickEditor() = 0;

    // Asks for a COM port number (1 to 4); false when the user cancels.
    virtual bool askPort(int& port) = 0;

    // The text composed from a reply's status word and the error report it triggered.
    // It is not shown to the user; implementations may log it.
    virtual void statusText(const std::string& text) = 0;
};

// Does nothing and answers every question negatively.
class CNullDeviceUi : public IDeviceUi {
  public:
    Answer messageBox(const std::string&, Icon, Buttons) override { return Answer::Ok; }
    void showConnected(bool) override {}
    void showControllerError(bool) override {}
    void setProgress(int) override {}
    void showInjectors(std::uint8_t) override {}
    void showMainCorrection(double) override {}
    void disableQuickEditor() override {}
    bool askPort(int&) override { return false; }
    void statusText(const std::string&) override {}
};
