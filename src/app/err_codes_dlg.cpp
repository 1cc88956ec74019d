// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/err_codes_dlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CErrCodesDlg::CErrCodesDlg(QWidget* parent, const QString& text) : QDialog(parent), text_(text) {
    setWindowTitle("Kody błędów urządzenia");
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName("codes");
    edit->setReadOnly(true);
    QString shown = text;
    shown.replace("\r\n", "\n");
    edit->setPlainText(shown);
    edit->setMinimumSize(460, 260);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit);
    layout->addWidget(buttons);
}
