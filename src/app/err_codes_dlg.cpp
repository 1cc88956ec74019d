// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/err_codes_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CErrCodesDlg::CErrCodesDlg(QWidget* parent, const QString& text, const QStringList& advice)
    : QDialog(parent), text_(text) {
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
    if (!advice.isEmpty()) {
        advice_ = new QLabel(QString(kAdviceHeading) + "\n• " + advice.join("\n• "), this);
        advice_->setObjectName("advice");
        advice_->setWordWrap(true);
        advice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(advice_);
    }
    layout->addWidget(buttons);
}

QString CErrCodesDlg::adviceText() const {
    return advice_ ? advice_->text() : QString();
}
