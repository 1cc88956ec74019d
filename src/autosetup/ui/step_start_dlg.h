// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "autosetup/ui/step_base_dlg.h"

class QComboBox;

// "Ustawienia krok po kroku": the engine's cylinder count, chosen from the list or
// typed; the setup checks that many injector signals.
class CStepStartDlg : public CStepBaseDlg {
    Q_OBJECT
  public:
    static constexpr int kComboId = 1139;

    explicit CStepStartDlg(QWidget* parent = nullptr);

    // The count as chosen or typed.
    QString cylinders() const;
    QComboBox* combo() const { return combo_; }

  private:
    QComboBox* combo_;
};
