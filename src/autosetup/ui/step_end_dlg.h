// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "autosetup/ui/step_base_dlg.h"

// The last step: the calibration succeeded with the main correction the controller now
// holds; "Koniec" puts the controller into automatic mode, "Anuluj" leaves it as the
// calibration left it.
class CStepEndDlg : public CStepBaseDlg {
    Q_OBJECT
  public:
    explicit CStepEndDlg(QWidget* parent = nullptr, double mainCorrectionMs = 0.0);
};
