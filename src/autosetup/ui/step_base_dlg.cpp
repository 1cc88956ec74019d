// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/step_base_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CStepBaseDlg::CStepBaseDlg(QWidget* parent, const QString& caption, const QString& okText,
                           const QString& cancelText)
    : QDialog(parent) {
    setWindowTitle(caption);
    ok_ = new QPushButton(okText, this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(cancelText, this);
    connect(ok_, &QPushButton::clicked, this, [this] { onOk(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    body_ = new QVBoxLayout;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    // The dialog takes the height its wrapped texts need and cannot be made to cut them.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CStepBaseDlg::onOk() {
    accept();
}

QLabel* CStepBaseDlg::addText(const QString& text, QVBoxLayout* layout, int width) {
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    label->setFixedWidth(width);
    (layout ? layout : body_)->addWidget(label);
    return label;
}
