// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step4_dlg.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace {

// The frame's border and margins: its texts line up with those above it.
constexpr int kFrameIndent = 22;

}  // namespace

CStep4Dlg::CStep4Dlg(QWidget* parent) : CStepBaseDlg(parent, "Krok 4", "Dalej >>", "Przerwij") {
    addText(
        "W tym kroku uruchomiona zostanie procedura automatycznego ustawienia poprawek dla "
        "czasów wtrysku LPG. Silnik będzie kilkakrotnie przełączany z benzyny na LPG i "
        "odwrotnie.");
    addText("W trakcie autokalibracji silnik musi pozostać na wolnych obrotach.");
    auto* notes = new QGroupBox("UWAGI", this);
    auto* inside = new QVBoxLayout(notes);
    addText("Silnik nie powinien być PRZEGRZANY.", inside, kTextWidth - kFrameIndent);
    addText(
        "W czasie trwania autokalibracji nie należy w żaden sposób zmieniać warunków pracy "
        "silnika, np. zmieniać obrotów, włączać świateł, klimatyzacji i innych źródeł "
        "obciążenia. ",
        inside, kTextWidth - kFrameIndent);
    body()->addWidget(notes);
}
