// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/read_diag_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

CReadDiagDlg::CReadDiagDlg(QWidget* parent, const QString& text) : QDialog(parent) {
    setWindowTitle("Vapron");
    setModal(false);
    auto* label = new QLabel(text, this);
    label->setObjectName("text");
    label->setMinimumWidth(320);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

void CReadDiagDlg::showNow() {
    show();
    raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
