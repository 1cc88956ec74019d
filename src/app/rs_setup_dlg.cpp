// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rs_setup_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/port_list_view.h"
#include "link/port_names.h"
#include "widgets/message_box.h"
#include "widgets/number_text.h"

CRSSetupDlg::CRSSetupDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Ustawienia RS232");
    edit_ = new QLineEdit("1", this);
    edit_->setObjectName("port");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRSSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRSSetupDlg::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow("Port", edit_);
    auto* hint = new QLabel(hintText(), this);
    hint->setWordWrap(true);
    layout->addRow(hint);
    layout->addRow(buttons);
    // The ports that exist, to pick from; a double click takes one at once.
    auto* ports = new CPortListView(this);
    layout->insertRow(0, ports);
    reason_ = new QLabel(this);
    reason_->setObjectName("reason");
    reason_->setWordWrap(true);
    reason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    reason_->hide();
    layout->insertRow(0, reason_);
    connect(ports, &CPortListView::portChosen, edit_, &QLineEdit::setText);
    // The port found on this machine is offered rather than a number that may not exist.
    ports->selectLikeliest();
    connect(ports, &CPortListView::portActivated, this, [this](const QString& path) {
        edit_->setText(path);
        accept();
    });
    // Narrow, the dialog would cut its own caption.
    setMinimumWidth(kMinWidth);
}

void CRSSetupDlg::setReason(const QString& text) {
    reason_->setText(text);
    reason_->setVisible(!text.isEmpty());
}

QString CRSSetupDlg::reason() const {
    return reason_->text();
}

QString CRSSetupDlg::hintText() {
    return QString("Numer portu od 1 do 4 lub ścieżka urządzenia, np. %1.")
        .arg(QString::fromStdString(CPortNames::example()));
}

QString CRSSetupDlg::typedPort() const {
    return edit_->text();
}

void CRSSetupDlg::accept() {
    const QString text = edit_->text().trimmed();
    if (CPortNames::isDeviceName(text.toStdString())) {
        path_ = text;
        QDialog::accept();
        return;
    }
    const std::optional<int> value = CNumberText::toInt(text);
    if (!value || *value < 1 || *value > 4) {
        CMessageBox::show(this,
                          QString("Podaj numer portu od 1 do 4 lub ścieżkę urządzenia (np. %1).\n")
                                  .arg(QString::fromStdString(CPortNames::example())) +
                              CNumberText::typedLine(text));
        edit_->setFocus();
        edit_->selectAll();
        return;
    }
    port_ = *value;
    path_.clear();
    QDialog::accept();
}
