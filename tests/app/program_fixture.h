// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDialog>
#include <QString>

#include "app/vapron_app.h"
#include "temp_dir.h"

class CControllerSim;

// The whole program started as `vapron --simulate` starts it, through the same CVapron,
// except that the simulated controller runs in this process (no pseudo-terminal, no
// 38 400 baud pacing, no work-mode pause). Boxes and dialogs are answered by the test;
// the program folder and the stored preferences live in a temporary folder.
class ProgramFixture {
  public:
    ProgramFixture();
    ~ProgramFixture();

    CVapron& program() { return *program_; }
    CControllerSim& sim() { return *program_->simulator(); }

    // Boxes shown so far; onBox runs while a box is "open".
    std::vector<QString> boxes;
    std::function<void(const QString&)> onBox;
    // Called for every modal dialog; the default rejects it.
    std::function<int(QDialog&)> onDialog;
    std::vector<QString> dialogClasses;

  private:
    CTempDir home_;
    std::unique_ptr<CVapron> program_;
};
