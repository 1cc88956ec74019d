// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step3_dlg.h"

CStep3Dlg::CStep3Dlg(QWidget* parent) : CStepBaseDlg(parent, "Krok 3", "Dalej >>", "Przerwij") {
    addText(
        "Jeżeli silnik podczas pracy na LPG utrzymuje stabilne obroty, można przejść do "
        "dalszego etapu. ");
    addText("W przeciwnym wypadku należy przerwać autokalibrację i wykonać poniższe czynności:");
    addText(
        "-sprawdzić czy ciśnienie reduktora przy pracy na LPG  utrzymuje się w okolicy "
        "WYMAGANYCH 100 kPa");
    addText("-zmniejszyć wydatek zastosowanych wtryskiwaczy gazowych o 20%");
    addText("Po wykonaniu ww. czynności należy ponownie włączyć autokalibrację.");
}
