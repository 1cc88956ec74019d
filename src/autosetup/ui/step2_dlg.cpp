// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step2_dlg.h"

CStep2Dlg::CStep2Dlg(QWidget* parent)
    : CStepBaseDlg(parent, "Krok 2", "Przełącz na LPG", "Przerwij") {
    addText("W tym kroku silnik zostanie po raz pierwszy przełączony na LPG. ");
    addText("Przed przełączeniem silnik musi pracować na stabilnych wolnych obrotach na benzynie.");
}
