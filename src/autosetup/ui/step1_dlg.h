// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "autosetup/ui/step_base_dlg.h"
#include "link/dev_setup.h"

class QLineEdit;

// "Krok 1": the seven basic settings of the record just read from the controller,
// edited in place. OK takes every field (a text that is no number is refused and stays
// for correcting, nothing taken); the record's own check follows in the setup.
class CStep1Dlg : public CStepBaseDlg {
    Q_OBJECT
  public:
    static constexpr int kFields = 7;
    // Control numbers of the fields, in the order shown.
    static constexpr std::array<int, kFields> kIds{1059, 1061, 1072, 1084, 1076, 1071, 1075};
    static constexpr int kEditWidth = 90;

    CStep1Dlg(QWidget* parent, dev_setup_t& setup);

    QLineEdit* edit(int id) const;
    void onOk() override;

  private:
    dev_setup_t& setup_;
    std::array<QLineEdit*, kFields> edits_{};
};
