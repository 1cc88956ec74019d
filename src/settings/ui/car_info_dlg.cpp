// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/car_info_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/car_texts.h"
#include "widgets/message_box.h"
#include "widgets/mnemonics.h"

namespace {

QComboBox* editableCombo(QWidget* parent, std::size_t maxLength) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->lineEdit()->setMaxLength(static_cast<int>(maxLength));
    return combo;
}

// Shows `text` in an editable combo. A text that is one of its items selects that item:
// the combo's current item is what Enter puts back in the field.
void showText(QComboBox* combo, const QString& text) {
    if (const int item = combo->findText(text); item >= 0) {
        combo->setCurrentIndex(item);
    }
    combo->setEditText(text);
}

QLineEdit* limitedEdit(QWidget* parent, std::size_t maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(static_cast<int>(maxLength));
    return edit;
}

QStringList toList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const auto& text : texts)
        list << QString::fromStdString(text);
    return list;
}

}  // namespace

CCarInfoDlg::CCarInfoDlg(QWidget* parent, IPreferences* preferences, const device_info_t& record,
                         QString libraryRoot)
    : QDialog(parent), root_(std::move(libraryRoot)), preferences_(preferences) {
    setWindowTitle("Informacje o samochodzie");
    make_ = editableCombo(this, car_texts_t::kMakeSize);
    model_ = editableCombo(this, car_texts_t::kModelSize);
    year_ = limitedEdit(this, car_texts_t::kYearSize);
    capacity_ = limitedEdit(this, car_texts_t::kCapacitySize);
    power_ = limitedEdit(this, car_texts_t::kPowerSize);
    injectors_ = editableCombo(this, car_texts_t::kInjectorsSize);
    calibrated_ = limitedEdit(this, car_texts_t::kCalibratedSize);
    injectors_->addItems({"1.0", "1.5", "1.8", "2.0", "2.5", "3.0"});
    showText(injectors_, "2.0");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCarInfoDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCarInfoDlg::reject);
    // The dialog comes up in the middle of a write: it says first why it is asked.
    auto* reason = new QLabel(QString("<b>%1</b><br>%2").arg(kReasonText, kReasonDetail), this);
    reason->setObjectName("reason");
    reason->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(kMakeLabel, make_);
    form->addRow(kModelLabel, model_);
    form->addRow("Rok produkcji", year_);
    form->addRow(kCapacityLabel, capacity_);
    form->addRow(kPowerLabel, power_);
    form->addRow(kInjectorsLabel, injectors_);
    form->addRow("Skalibrowane na wydatek", calibrated_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reason);
    layout->addLayout(form);
    layout->addWidget(buttons);

    CCarInfo library(preferences_, root_.toStdString());
    make_->addItems(toList(library.listMakes()));
    const car_texts_t last = library.readLastCarInfo(record.id);
    if (last.make.empty() && last.model.empty() && last.power.empty() &&
        last.injectorsFitted.empty()) {
        fill(car_texts_t::fromRecord(record));
    } else {
        fill(last);
    }
    connect(make_, QOverload<int>::of(&QComboBox::activated), this, &CCarInfoDlg::onMakeChosen);
    connect(model_, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        clearCarDetails();
        fillFromLibrary();
    });
    CMnemonics::assign(*this);
}

void CCarInfoDlg::fill(const car_texts_t& t) {
    showText(make_, QString::fromStdString(t.make));
    showText(model_, QString::fromStdString(t.model));
    year_->setText(QString::fromStdString(t.year));
    capacity_->setText(QString::fromStdString(t.capacity));
    power_->setText(QString::fromStdString(t.power));
    if (!t.injectorsFitted.empty()) {
        showText(injectors_, QString::fromStdString(t.injectorsFitted));
    }
    calibrated_->setText(QString::fromStdString(t.calibratedFor));
}

void CCarInfoDlg::onMakeChosen(int index) {
    const QString make = make_->itemText(index);
    make_->setCurrentText(make);
    CCarInfo library(preferences_, root_.toStdString());
    model_->clear();
    model_->addItems(toList(library.listModels(make.toStdString())));
    model_->setCurrentIndex(model_->count() > 0 ? 0 : -1);
    clearCarDetails();
    fillFromLibrary();
}

void CCarInfoDlg::clearCarDetails() {
    year_->clear();
    capacity_->clear();
    power_->clear();
    calibrated_->clear();
}

// Make and model that name one car of the library bring the rest of it along.
void CCarInfoDlg::fillFromLibrary() {
    const CCarInfo library(preferences_, root_.toStdString());
    const auto car = library.onlyCar(make_->currentText().trimmed().toStdString(),
                                     model_->currentText().trimmed().toStdString());
    if (!car) {
        return;
    }
    year_->setText(QString::fromStdString(car->year));
    capacity_->setText(QString::fromStdString(car->capacity));
    power_->setText(QString::fromStdString(car->power));
    if (!car->injectorsFitted.empty()) {
        showText(injectors_, QString::fromStdString(car->injectorsFitted));
    }
    calibrated_->setText(QString::fromStdString(car->calibratedFor));
}

car_texts_t CCarInfoDlg::texts() const {
    auto text = [](const QString& s) { return s.trimmed().toStdString(); };
    return {text(make_->currentText()), text(model_->currentText()),
            text(capacity_->text()),    text(power_->text()),
            text(year_->text()),        text(injectors_->currentText()),
            text(calibrated_->text())};
}

QStringList CCarInfoDlg::missingFields() const {
    const car_texts_t t = texts();
    QStringList missing;
    const std::pair<const std::string*, const char*> required[] = {
        {&t.make, kMakeLabel},
        {&t.model, kModelLabel},
        {&t.capacity, kCapacityLabel},
        {&t.power, kPowerLabel},
        {&t.injectorsFitted, kInjectorsLabel}};
    for (const auto& [text, label] : required) {
        if (text->empty())
            missing << label;
    }
    return missing;
}

// The box names what is still empty; year and calibrated-for may stay empty.
void CCarInfoDlg::accept() {
    const QStringList missing = missingFields();
    if (!missing.isEmpty()) {
        CMessageBox::show(this, QString(kMissingText) + "\nUzupełnij: " + missing.join(", ") + ".");
        return;
    }
    QDialog::accept();
}
