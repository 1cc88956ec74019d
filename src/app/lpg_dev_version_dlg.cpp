#include "app/lpg_dev_version_dlg.h"

#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/message_box.h"
#include "link/lpg_device.h"
#include "settings/cp1250.h"

CLPGDevVersionDlg::CLPGDevVersionDlg(QWidget* parent, CLPGDevice& device)
    : QDialog(parent), device_(device) {
    setWindowTitle("Wersja urządzenia");
    date_ = new QLineEdit(QDate::currentDate().toString("dd/MM/yyyy"), this);
    version_ = new QLineEdit("4", this);
    version_->setValidator(new QIntValidator(0, 65535, version_));
    injectors_ = new QLineEdit("0", this);
    injectors_->setValidator(new QIntValidator(0, 255, injectors_));
    id_ = new QLineEdit(this);
    id_->setMaxLength(16);
    auto* read = new QPushButton("Wczytaj", this);
    auto* write = new QPushButton("Wpisz", this);
    connect(read, &QPushButton::clicked, this,
            [this] { runGuarded(this, "CLPGDevVersionDlg::OnBtnRead()", [&] { onRead(); }); });
    connect(write, &QPushButton::clicked, this,
            [this] { runGuarded(this, "CLPGDevVersionDlg::OnBtnWrite()", [&] { onWrite(); }); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(read);
    buttons->addWidget(write);
    auto* layout = new QFormLayout(this);
    layout->addRow("Data zaprogramowania", date_);
    layout->addRow("Wersja", version_);
    layout->addRow("Ilość wtryskiwaczy", injectors_);
    layout->addRow("ID", id_);
    layout->addRow(buttons);
    runGuarded(this, "CLPGDevVersionDlg::OnInitDialog()", [&] { onRead(); });
}

void CLPGDevVersionDlg::onRead() {
    version_record_t record;
    if (!device_.readVersionRecord(record)) {
        CMessageBox::show(this, "Nie powiodło się odczytanie ustawień urządzenia!",
                          CMessageBox::Icon::Error);
        return;
    }
    date_->setText(QDate(record.year, record.month, record.day).toString("dd/MM/yyyy"));
    version_->setText(QString::number(record.version));
    injectors_->setText(QString::number(record.injectors));
    id_->setText(QString::fromStdString(cp1250ToUtf8(record.id.c_str())));
}

void CLPGDevVersionDlg::onWrite() {
    const std::string date = date_->text().toStdString();
    if (date.size() != 10) {
        return;  // nothing is sent for a date that is not dd/mm/yyyy
    }
    const auto version = static_cast<std::uint16_t>(version_->text().toUInt());
    const auto injectors = static_cast<std::uint8_t>(injectors_->text().toUInt());
    if (!device_.writeVersionRecord(date, version, injectors,
                                    utf8ToCp1250(id_->text().toStdString()))) {
        CMessageBox::show(this, "Nie powiodło się zapisanie ustawień urządzenia!",
                          CMessageBox::Icon::Error);
    }
}
