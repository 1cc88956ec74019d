// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "autosetup/ui/step_base_dlg.h"

// "Krok 2": the engine is about to run on LPG for the first time; OK switches it.
class CStep2Dlg : public CStepBaseDlg {
    Q_OBJECT
  public:
    explicit CStep2Dlg(QWidget* parent = nullptr);
};
