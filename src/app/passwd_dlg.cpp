#include "app/passwd_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

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

void CPasswdDlg::accept() {
    if (edit_->text() == password_) {
        QDialog::accept();
    }
}
