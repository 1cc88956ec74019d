// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step1_dlg.h"

#include <optional>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "link/setup_fields.h"
#include "widgets/number_text.h"

namespace {

// One field: the wizard's own label and the field of the record's table it edits.
struct step1_field_t {
    const char* label;
    const char* field;
};

constexpr step1_field_t kFieldList[CStep1Dlg::kFields] = {
    {"Obroty automatycznego przełączenia na LPG", "switchRpm"},
    {"Temperatura automatycznego przełączenia na LPG", "switchTemperature"},
    {"Temperatura wewnętrzna sterownika powodująca awaryjne przełączenie na benzynę",
     "maxInternalTemperature"},
    {"Ciśnienie przełączenia na benzynę [kPa] (pusty zbiornik)", "gasolinePressure"},
    {"Ilość impulsów zapłonu na cykl", "ignitionPulses"},
    {"Minimalne napięcie zasilania sterownika powodująca awaryjne przełączenie na benzynę [V]",
     "minSupplyVoltage"},
    {"Opóźnienie włączenia emulatora wtryskiwaczy benzynowych przy przejściu na LPG [sek] "
     "(nakładkowanie)",
     "emulatorDelay"},
};

const setup_field_t& fieldOf(int i) {
    return *findSetupField(kFieldList[i].field);
}

constexpr int kLabelWidth = CStepBaseDlg::kTextWidth - CStep1Dlg::kEditWidth - 12;

}  // namespace

CStep1Dlg::CStep1Dlg(QWidget* parent, dev_setup_t& setup)
    : CStepBaseDlg(parent, "Krok 1", "Dalej >>", "Przerwij"), setup_(setup) {
    addText(
        "Podaj podstawowe informacje dotyczące konfiguracji sterownika instalacji LPG.\n"
        "Wszystkie pola są uzupełnione zalecanymi wartościami.");
    auto* grid = new QGridLayout;
    grid->setColumnStretch(0, 1);
    for (int i = 0; i < kFields; ++i) {
        const step1_field_t& field = kFieldList[i];
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("edit%1").arg(kIds[i]));
        edit->setFixedWidth(kEditWidth);
        const double value = fieldOf(i).get(setup);
        edit->setText(fieldOf(i).integral() ? QString::number(static_cast<long long>(value))
                                            : QString::number(value, 'g', 15));
        auto* label = new QLabel(field.label, this);
        label->setWordWrap(true);
        label->setFixedWidth(kLabelWidth);
        label->setBuddy(edit);
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1, Qt::AlignTop);
        edits_[i] = edit;
    }
    body()->addSpacing(8);
    body()->addLayout(grid);
}

QLineEdit* CStep1Dlg::edit(int id) const {
    for (int i = 0; i < kFields; ++i) {
        if (kIds[i] == id) {
            return edits_[i];
        }
    }
    return nullptr;
}

void CStep1Dlg::onOk() {
    std::array<double, kFields> values{};
    for (int i = 0; i < kFields; ++i) {
        const step1_field_t& field = kFieldList[i];
        std::optional<double> value;
        if (!fieldOf(i).integral()) {
            value = CNumberText::readDouble(edits_[i], field.label);
        } else if (const auto whole = CNumberText::readInt(edits_[i], field.label, 0, 255)) {
            value = *whole;
        }
        if (!value) {
            return;
        }
        values[i] = *value;
    }
    for (int i = 0; i < kFields; ++i) {
        fieldOf(i).set(setup_, values[i]);
    }
    accept();
}
