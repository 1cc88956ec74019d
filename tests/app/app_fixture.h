// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDialog>
#include <QString>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/main_frame.h"
#include "connected_sim.h"
#include "held_line.h"
#include "on_worker.h"
#include "settings/memory_preferences.h"
#include "sim/controller_sim.h"
#include "temp_dir.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

// A device document on the in-process simulated controller, with every box and dialog
// answered by the test instead of a screen.
class AppFixture {
  public:
    // Puts another line in front of the simulated one (a car with a fault).
    using LineWrap = CConnectedSim::LineWrap;

    // With `heldLine` the simulated line sits behind a gate the test opens and closes.
    explicit AppFixture(bool controllerPresent = true, bool heldLine = false, LineWrap wrap = {},
                        std::uint32_t seed = 1);
    ~AppFixture();

    CDeviceDoc& doc() { return *doc_; }
    CControllerSim& sim() { return connected_->sim(); }
    CHeldLine& held() { return *held_; }
    CMainFrame& window() { return *window_; }
    CDeviceFrame& frame() { return *frame_; }
    QString home() const { return QString::fromStdString(home_.root()); }
    CMemoryPreferences& preferences() { return preferences_; }

    // Boxes shown so far.
    std::vector<QString> boxes;
    // How a box is answered; without it every box is answered Ok (so a yes/no question
    // counts as declined).
    std::function<CMessageBox::Answer(const QString&, CMessageBox::Buttons)> answer;
    // What the next file dialog answers (empty = cancel) and what it was asked.
    QString nextFile;
    QString lastFolder;
    // Called for every modal dialog; the default rejects it.
    std::function<int(QDialog&)> onDialog;
    std::vector<QString> dialogTitles;

  private:
    CTempDir home_;
    CMemoryPreferences preferences_;
    // The controller and its line; the document is the connection on it.
    std::unique_ptr<CConnectedSim> connected_;
    CHeldLine* held_ = nullptr;
    CDeviceDoc* doc_ = nullptr;
    CDeviceFrame* frame_ = nullptr;
    CMainFrame* window_ = nullptr;
};

// Waits, handling events, until the condition holds or about two seconds pass.
bool waitUntil(const std::function<bool()>& condition);
