// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step_end_dlg.h"

CStepEndDlg::CStepEndDlg(QWidget* parent) : CStepBaseDlg(parent, "Krok 3", "Koniec", "Anuluj") {
    addText("Procedura autokalibracji została zakończona pomyślnie.");
    addText("Sterownik zostanie przełączony w tryb pracy automatycznej (AUTO).");
}
