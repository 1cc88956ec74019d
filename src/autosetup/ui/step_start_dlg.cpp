// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step_start_dlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CStepStartDlg::CStepStartDlg(QWidget* parent)
    : CStepBaseDlg(parent, "Ustawienia krok po kroku", "Dalej >>", "Przerwij") {
    addText(
        "Procedura wymaga podania kilku podstawowych informacji dotyczących silnika "
        "samochodu.");
    combo_ = new QComboBox(this);
    combo_->setObjectName(QString("combo%1").arg(kComboId));
    combo_->setEditable(true);
    // A typed count joins the list in order.
    combo_->setInsertPolicy(QComboBox::InsertAlphabetically);
    combo_->addItems({"3", "4", "5", "6", "8"});
    combo_->setCurrentIndex(1);

    auto* row = new QHBoxLayout;
    auto* label = new QLabel("Ilość cylindrów", this);
    label->setBuddy(combo_);
    row->addWidget(label);
    row->addWidget(combo_);
    row->addStretch(1);
    body()->addSpacing(8);
    body()->addLayout(row);
}

QString CStepStartDlg::cylinders() const {
    return combo_->currentText();
}
