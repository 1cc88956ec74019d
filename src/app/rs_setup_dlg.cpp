#include "app/rs_setup_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "widgets/message_box.h"

CRSSetupDlg::CRSSetupDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Ustawienia RS232");
    edit_ = new QLineEdit("1", this);
    edit_->setObjectName("port");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRSSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRSSetupDlg::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow("Port", edit_);
    layout->addRow(buttons);
}

void CRSSetupDlg::accept() {
    const QString text = edit_->text().trimmed();
    if (text.startsWith('/')) {
        path_ = text;
        QDialog::accept();
        return;
    }
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || value < 1 || value > 4) {
        CMessageBox::show(this,
                          "Podaj numer portu od 1 do 4 lub ścieżkę urządzenia (np. /dev/ttyUSB0).");
        return;
    }
    port_ = value;
    path_.clear();
    QDialog::accept();
}
