// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step_end_dlg.h"

#include "link/conversions.h"

CStepEndDlg::CStepEndDlg(QWidget* parent, double mainCorrectionMs)
    : CStepBaseDlg(parent, "Krok 3", "Koniec", "Anuluj") {
    addText("Procedura autokalibracji została zakończona pomyślnie.");
    addText(QString("Wyznaczona główna poprawka: %1 ms (wpisana do sterownika).")
                .arg(QString::fromStdString(conv::polishNumber(mainCorrectionMs, 3))));
    addText("Sterownik zostanie przełączony w tryb pracy automatycznej (AUTO).");
}
