#pragma once

#include <memory>
#include <vector>

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "widgets/dialog_runner.h"
#include "app/main_frame.h"
#include "widgets/message_box.h"
#include "settings/memory_preferences.h"
#include "sim/controller_sim.h"
#include "sim/sim_line.h"

// A device document on the in-process simulated controller, with every box and dialog
// answered by the test instead of a screen.
class AppFixture {
  public:
    explicit AppFixture(bool controllerPresent = true);
    ~AppFixture();

    CDeviceDoc& doc() { return *doc_; }
    CControllerSim& sim() { return *sim_; }
    CMainFrame& window() { return *window_; }
    CDeviceFrame& frame() { return *frame_; }
    QString home() const { return home_.path(); }

    // Boxes shown so far.
    std::vector<QString> boxes;
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
    std::unique_ptr<CDeviceDoc> doc_;
    CDeviceFrame* frame_ = nullptr;
    CMainFrame* window_ = nullptr;
};

// Waits, handling events, until the condition holds or about two seconds pass.
bool waitUntil(const std::function<bool()>& condition);
