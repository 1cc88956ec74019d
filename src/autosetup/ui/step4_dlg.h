// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "autosetup/ui/step_base_dlg.h"

// "Krok 4": what the auto-calibration is about to do and what the engine needs meanwhile.
class CStep4Dlg : public CStepBaseDlg {
    Q_OBJECT
  public:
    explicit CStep4Dlg(QWidget* parent = nullptr);
};
