// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/main_frame.h"
#include "held_line.h"
#include "settings/memory_preferences.h"
#include "sim/controller_sim.h"
#include "sim/sim_line.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

// A device document on the in-process simulated controller, with every box and dialog
// answered by the test instead of a screen.
class AppFixture {
  public:
    // Puts another line in front of the simulated one (a car with a fault).
    using LineWrap = std::function<std::unique_ptr<ISerialLine>(std::unique_ptr<ISerialLine>)>;

    // With `heldLine` the simulated line sits behind a gate the test opens and closes.
    explicit AppFixture(bool controllerPresent = true, bool heldLine = false, LineWrap wrap = {},
                        std::uint32_t seed = 1);
    ~AppFixture();

    CDeviceDoc& doc() { return *doc_; }
    CControllerSim& sim() { return *sim_; }
    CHeldLine& held() { return *held_; }
    CMainFrame& window() { return *window_; }
    CDeviceFrame& frame() { return *frame_; }
    QString home() const { return home_.path(); }
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
    QTemporaryDir home_;
    CMemoryPreferences preferences_;
    std::shared_ptr<CControllerSim> sim_;
    CHeldLine* held_ = nullptr;
    std::unique_ptr<CDeviceDoc> doc_;
    CDeviceFrame* frame_ = nullptr;
    CMainFrame* window_ = nullptr;
};

// Waits, handling events, until the condition holds or about two seconds pass.
bool waitUntil(const std::function<bool()>& condition);
