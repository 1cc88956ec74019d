// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/average_error_dlg.h"

#include <algorithm>

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/number_text.h"

CAverageErrorDlg::CAverageErrorDlg(QWidget* parent, double tolerancePercent)
    : QDialog(parent), tolerance_(tolerancePercent) {
    setWindowTitle("Tolerancja autoustawiania");
    edit_ = new QLineEdit(QLocale::c().toString(tolerancePercent, 'g', 6), this);
    edit_->setObjectName(QString("edit%1").arg(kEditId));
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAverageErrorDlg::onOk);

    auto* row = new QHBoxLayout;
    row->addWidget(edit_, 1);
    row->addWidget(new QLabel("%", this));
    auto* explanation = new QLabel(kExplanation, this);
    explanation->setObjectName("explanation");
    explanation->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(row);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    // The title bar shows the whole title only when the dialog is wider than its text.
    setMinimumWidth(std::max(
        kMinWidth, QFontMetrics(font()).horizontalAdvance(windowTitle()) + kTitleBarButtons));
}

void CAverageErrorDlg::onOk() {
    if (const auto typed = CNumberText::readDouble(edit_, "Tolerancja")) {
        tolerance_ = *typed;
        accept();
    }
}
