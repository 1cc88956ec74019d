// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/passwd_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "widgets/message_box.h"

CPasswdDlg::CPasswdDlg(QWidget* parent, QString password)
    : QDialog(parent), password_(std::move(password)) {
    setWindowTitle("Odblokowanie");
    edit_ = new QLineEdit(this);
    edit_->setObjectName("password");
    edit_->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasswdDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPasswdDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Do wykonania tej akcji potrzebne jest hasło:", this));
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

// A wrong password is said so and cleared for the next try; the dialog stays open.
void CPasswdDlg::accept() {
    if (edit_->text() == password_) {
        QDialog::accept();
        return;
    }
    CMessageBox::show(this, kWrongText, CMessageBox::Icon::Warning);
    edit_->clear();
    edit_->setFocus();
}
