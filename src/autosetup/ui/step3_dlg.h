// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "autosetup/ui/step_base_dlg.h"

// "Krok 3": go on only when the engine idles steadily on LPG; otherwise what to adjust
// before trying again.
class CStep3Dlg : public CStepBaseDlg {
    Q_OBJECT
  public:
    explicit CStep3Dlg(QWidget* parent = nullptr);
};
