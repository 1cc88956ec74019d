// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lpg_dev_version_dlg.h"

#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>

#include "link/lpg_device.h"
#include "settings/cp1250.h"
#include "widgets/message_box.h"
#include "widgets/number_text.h"
#include "widgets/off_window.h"

namespace {

const QDate kDayZero(2004, 4, 1);  // day 0 of the record's day count
constexpr int kLastDay = 0xFFFF;
const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

bool isDigitAt(const QString& text, std::initializer_list<int> positions) {
    for (int at : positions) {
        if (!text.at(at).isDigit())
            return false;
    }
    return true;
}

}  // namespace

CLPGDevVersionDlg::CLPGDevVersionDlg(QWidget* parent, CLPGDevice& device)
    : QDialog(parent), device_(device) {
    setWindowTitle("Wersja urządzenia");
    date_ = new QLineEdit(QDate::currentDate().toString(kDateFormat), this);
    version_ = new QLineEdit("4", this);
    version_->setValidator(new QIntValidator(0, 65535, version_));
    injectors_ = new QLineEdit("0", this);
    injectors_->setValidator(new QIntValidator(0, 255, injectors_));
    id_ = new QLineEdit(this);
    id_->setMaxLength(16);
    auto* read = new QPushButton("Wczytaj", this);
    auto* write = new QPushButton("Wpisz", this);
    close_ = new QPushButton("Zamknij", this);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(read, &QPushButton::clicked, this,
            [this] { runGuarded(this, "CLPGDevVersionDlg::OnBtnRead()", [&] { onRead(); }); });
    connect(write, &QPushButton::clicked, this,
            [this] { runGuarded(this, "CLPGDevVersionDlg::OnBtnWrite()", [&] { onWrite(); }); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(read);
    buttons->addWidget(write);
    buttons->addStretch(1);
    buttons->addWidget(close_);
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
    bool stopped = false;
    if (!COffWindow::run(
            isVisible() ? this : parentWidget(), "Wczytywanie wersji urządzenia...",
            [&] { return device_.readVersionRecord(record); }, &stopped)) {
        if (stopped) {
            return;
        }
        CMessageBox::show(this, "Nie powiodło się odczytanie ustawień urządzenia!",
                          CMessageBox::Icon::Error);
        return;
    }
    date_->setText(QDate(record.year, record.month, record.day).toString(kDateFormat));
    version_->setText(QString::number(record.version));
    injectors_->setText(QString::number(record.injectors));
    id_->setText(QString::fromStdString(cp1250ToUtf8(record.id.c_str())));
}

QString CLPGDevVersionDlg::dateRefusal(const QString& text) {
    const QString typed = CNumberText::typedLine(text);
    if (text.size() != 10 || !isDigitAt(text, {0, 1, 3, 4, 6, 7, 8, 9})) {
        return "Wpisz datę zaprogramowania w postaci dd/mm/rrrr, np. 01/04/2004.\n" + typed;
    }
    const QDate date(text.mid(6, 4).toInt(), text.mid(3, 2).toInt(), text.mid(0, 2).toInt());
    if (!date.isValid()) {
        return "Wpisz istniejącą datę zaprogramowania: takiego dnia nie ma w kalendarzu.\n" + typed;
    }
    const QDate last = kDayZero.addDays(kLastDay);
    if (date < kDayZero || date > last) {
        return QString("Wpisz datę zaprogramowania od %1 do %2: sterownik liczy dni od %1.\n")
                   .arg(kDayZero.toString(kDateFormat), last.toString(kDateFormat)) +
               typed;
    }
    return {};
}

// Nothing is sent for a date the controller's record cannot hold.
void CLPGDevVersionDlg::onWrite() {
    const QString refusal = dateRefusal(date_->text());
    if (!refusal.isEmpty()) {
        CMessageBox::show(this, refusal, CMessageBox::Icon::Error);
        date_->setFocus();
        date_->selectAll();
        return;
    }
    const std::string date = date_->text().toStdString();
    const auto version = CNumberText::readInt(version_, "Wersja", 0, 65535);
    if (!version) {
        return;
    }
    const auto injectors = CNumberText::readInt(injectors_, "Ilość wtryskiwaczy", 0, 255);
    if (!injectors) {
        return;
    }
    const std::string id = utf8ToCp1250(id_->text().toStdString());
    bool stopped = false;
    const bool written = COffWindow::run(
        this, "Wpisywanie wersji urządzenia...",
        [&] {
            return device_.writeVersionRecord(date, static_cast<std::uint16_t>(*version),
                                              static_cast<std::uint8_t>(*injectors), id);
        },
        &stopped);
    if (!written && !stopped) {
        CMessageBox::show(this, "Nie powiodło się zapisanie ustawień urządzenia!",
                          CMessageBox::Icon::Error);
    }
}
