// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "sim/serial_line_factory.h"

class CDeviceDoc;
class CDeviceFrame;
class CDevicePanel;
class CDisplayView;
class CMainFrame;
class CControllerSim;
class IPreferences;

// The program: builds the main window, the device frame and the one document, and
// connects to the controller (a simulated one when asked). `main` and the tests that
// start the whole program both go through here, so they wire the same program.
class CVapron : public QObject {
    Q_OBJECT
  public:
    struct Options {
        bool simulate = false;
        // The simulated controller runs in this process behind the line interface, with
        // no pseudo-terminal and no 38 400 baud pacing (the tests of the whole program).
        bool inProcess = false;
        std::string port;  // a device to try first
        bool pacing = true;
        bool help = false;
        bool version = false;
        std::string trace;         // a wire trace of the session goes to this file
        std::string usageProblem;  // set when the command line cannot be used
        // Where the old Windows program's files are looked for at the start; the system's
        // places when unset (tests name their own).
        std::optional<std::vector<std::string>> legacyFolders;
    };

    // The command line: --simulate, --no-pacing, --port PATH, --trace FILE, --version,
    // --help, and Qt's own options, which QApplication takes later.
    static Options parseArguments(int argc, char** argv);
    static void printUsage();
    static void printVersion();
    // Names the application for its stored preferences and loads Qt's Polish texts;
    // after QApplication exists.
    static void prepareApplication();

    explicit CVapron(Options options);
    ~CVapron() override;

    // Creates the windows and the document, shows the window maximised, and right after
    // connects and lets the live panel start diagnostics.
    void start();
    // The document has tried to connect and the panel had its first update.
    bool opened() const { return opened_; }

    CMainFrame* mainFrame() const { return mainFrame_; }
    CDeviceFrame* deviceFrame() const { return frame_; }
    CDevicePanel* panel() const { return panel_; }
    CDisplayView* displayView() const { return view_; }
    CDeviceDoc* document() const { return doc_.get(); }
    // The simulated controller, when there is one.
    CControllerSim* simulator() const { return line_.sim.get(); }

  private:
    void createWindows();
    void wireShortcuts();
    void offerLegacyFiles();

    Options options_;
    std::unique_ptr<IPreferences> preferences_;
    serial_line_t line_;  // what the document's line needs (the line itself is the doc's)
    std::unique_ptr<CDeviceDoc> doc_;
    CDeviceFrame* frame_ = nullptr;
    CDevicePanel* panel_ = nullptr;
    CDisplayView* view_ = nullptr;
    CMainFrame* mainFrame_ = nullptr;
    bool opened_ = false;
};
