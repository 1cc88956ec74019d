// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step1_dlg.h"

#include <optional>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "widgets/number_text.h"

namespace {

// One field: its label and the record's value; the ignition pulses are a byte.
struct step1_field_t {
    const char* label;
    double dev_setup_t::*value;
};

constexpr step1_field_t kFieldList[CStep1Dlg::kFields] = {
    {"Obroty automatycznego przełączenia na LPG", &dev_setup_t::switchSpeed},
    {"Temperatura automatycznego przełączenia na LPG", &dev_setup_t::switchTemp},
    {"Temperatura wewnętrzna sterownika powodująca awaryjne przełączenie na benzynę",
     &dev_setup_t::maxInternalTemp},
    {"Ciśnienie przełączenia na benzynę [kPa] (pusty zbiornik)", &dev_setup_t::gasSwitchPressure},
    {"Ilość impulsów zapłonu na cykl", nullptr},
    {"Minimalne napięcie zasilania sterownika powodująca awaryjne przełączenie na benzynę [V]",
     &dev_setup_t::minSupply},
    {"Opóźnienie włączenia emulatora wtryskiwaczy benzynowych przy przejściu na LPG [sek] "
     "(nakładkowanie)",
     &dev_setup_t::emulatorDelay},
};

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
        edit->setText(field.value ? QString::number(setup.*field.value, 'g', 15)
                                  : QString::number(setup.ignitionPulses));
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
        if (field.value) {
            value = CNumberText::readDouble(edits_[i], field.label);
        } else if (const auto pulses = CNumberText::readInt(edits_[i], field.label, 0, 255)) {
            value = *pulses;
        }
        if (!value) {
            return;
        }
        values[i] = *value;
    }
    for (int i = 0; i < kFields; ++i) {
        if (kFieldList[i].value) {
            setup_.*kFieldList[i].value = values[i];
        } else {
            setup_.ignitionPulses = static_cast<std::uint8_t>(values[i]);
        }
    }
    accept();
}
