// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/fuel_sensor_dlg.h"

#include <cmath>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include "link/lpg_device.h"
#include "widgets/color_static.h"
#include "widgets/message_box.h"
#include "widgets/mnemonics.h"
#include "widgets/number_text.h"
#include "widgets/off_window.h"
#include "widgets/write_outcome_box.h"

namespace {

int& periodMs() {
    static int period = 600;
    return period;
}

QColor qColour(CFuelSensor::Lamp lamp) {
    const CFuelSensor::rgb_t rgb = CFuelSensor::colour(lamp);
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

void CFuelSensorDlg::setPollPeriod(int ms) {
    periodMs() = ms;
}

int CFuelSensorDlg::pollPeriod() {
    return periodMs();
}

CFuelSensorDlg::CFuelSensorDlg(QWidget* parent, CLPGDevice& device, CDataWrite& writes)
    : QDialog(parent), device_(device), writes_(writes) {
    setWindowTitle("Czujnik poziomu gazu");
    buildLayout();
    CMnemonics::assign(*this);
    showValues();
    onRead();
    {
        const QSignalBlocker quiet(type_);
        for (CFuelSensor::Type type : CFuelSensor::types()) {
            type_->addItem(CFuelSensor::typeName(type));
        }
    }
    chooseMatchingType();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CFuelSensorDlg::onTimer);
    timer_->start(pollPeriod());
}

void CFuelSensorDlg::buildLayout() {
    auto* top = new QHBoxLayout;
    top->addLayout(buildLevels());
    top->addSpacing(16);
    top->addLayout(buildSide());
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText("OK");
    box->button(QDialogButtonBox::Cancel)->setText("Anuluj");
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    written_ = new QLabel(this);
    written_->setObjectName("written");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(written_);
    layout->addWidget(box);
}

// Levels and lamps on the even rows, each threshold on the row between its two levels.
QLayout* CFuelSensorDlg::buildLevels() {
    static const char* const kLevels[] = {"1/1", "3/4", "1/2", "1/4", "Rezerwa"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 5; ++i) {
        if (i < 4) {
            lamps_[i] = new CColorStatic({}, this);
            lamps_[i]->setFixedSize(32, 16);
            lamps_[i]->setColours(qColour(CFuelSensor::Lamp::Grey));
            lamps_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            grid->addWidget(lamps_[i], 2 * i, 0);
        }
        grid->addWidget(new QLabel(kLevels[i], this), 2 * i, 1);
    }
    for (int i = 0; i < 4; ++i) {
        edits_[i] = new QLineEdit(this);
        edits_[i]->setMaxLength(6);
        edits_[i]->setFixedWidth(60);
        edits_[i]->setToolTip(CFuelSensor::fieldName(CFuelSensor::Index(i)));
        grid->addWidget(edits_[i], 2 * i + 1, 2);
    }
    grid->setColumnMinimumWidth(1, 60);
    return grid;
}

QLayout* CFuelSensorDlg::buildSide() {
    type_ = new QComboBox(this);
    connect(type_, &QComboBox::activated, this, &CFuelSensorDlg::onTypeChosen);
    reading_ = new QLineEdit("0", this);
    reading_->setReadOnly(true);
    reading_->setFixedWidth(60);
    read_ = new QPushButton("Wczytaj", this);
    write_ = new QPushButton("Wpisz", this);
    factory_ = new QPushButton("Ustawienia fabryczne", this);
    connect(read_, &QPushButton::clicked, this, &CFuelSensorDlg::onRead);
    connect(write_, &QPushButton::clicked, this, [this] { onWrite(); });
    connect(factory_, &QPushButton::clicked, this, &CFuelSensorDlg::onFactory);

    auto* reading = new QHBoxLayout;
    auto* readingLabel = new QLabel("Wskazanie", this);
    readingLabel->setBuddy(reading_);
    reading->addWidget(readingLabel);
    reading->addWidget(reading_);
    reading->addWidget(new QLabel("w skali 0..255", this));
    reading->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(read_);
    buttons->addWidget(write_);
    auto* side = new QVBoxLayout;
    auto* typeLabel = new QLabel("Typ czujnika", this);
    typeLabel->setBuddy(type_);
    side->addWidget(typeLabel);
    side->addWidget(type_);
    side->addSpacing(12);
    side->addLayout(reading);
    side->addStretch();
    side->addLayout(buttons);
    side->addWidget(factory_);
    return side;
}

void CFuelSensorDlg::showValues() {
    for (int i = 0; i < 4; ++i) {
        edits_[i]->setText(QString::number(thresholds_[i]));
    }
}

void CFuelSensorDlg::chooseMatchingType() {
    const QSignalBlocker quiet(type_);
    type_->setCurrentText(CFuelSensor::typeName(CFuelSensor::matchingType(thresholds_)));
}

// All four or none: a refused text leaves the values as they were. "42,0" is 42.
bool CFuelSensorDlg::takeValues() {
    CFuelSensor::Thresholds typed{};
    for (int i = 0; i < 4; ++i) {
        const QString text = edits_[i]->text();
        const auto value = CNumberText::toDouble(text);
        if (!value || *value != std::floor(*value) || *value < 0 ||
            *value > CFuelSensor::kMaxReading) {
            const QString field = CFuelSensor::fieldName(CFuelSensor::Index(i));
            CMessageBox::show(this,
                              CNumberText::intRefusal(field, text, 0, CFuelSensor::kMaxReading),
                              CMessageBox::Icon::Error);
            edits_[i]->setFocus();
            edits_[i]->selectAll();
            return false;
        }
        typed[i] = static_cast<std::uint8_t>(*value);
    }
    thresholds_ = typed;
    return true;
}

void CFuelSensorDlg::onRead() {
    runGuarded(this, "CFuelSensorDlg::OnRead()", [&] { readFromDevice(); });
}

void CFuelSensorDlg::readFromDevice() {
    poll_.cancel();  // this read's level is the one shown
    std::uint16_t level = 0;
    CFuelSensor::Thresholds read{};
    enum class Got { Nothing, Level, All };
    bool stopped = false;
    const Got got = COffWindow::run(
        isVisible() ? this : parentWidget(), "Wczytywanie ustawień czujnika poziomu gazu...",
        [&] {
            if (!device_.readFuelLevel(level)) {
                return Got::Nothing;
            }
            return device_.readFuelSensor(read) ? Got::All : Got::Level;
        },
        &stopped);
    if (got != Got::Nothing) {
        reading_->setText(QString::number(level));
    }
    if (stopped) {
        return;
    }
    if (got == Got::Nothing) {
        CMessageBox::show(this, kReadLevelFailed, CMessageBox::Icon::Error);
        return;
    }
    if (got == Got::Level) {
        CMessageBox::show(this, kReadFailed, CMessageBox::Icon::Error);
        return;
    }
    thresholds_ = read;
    held_ = read;
    showValues();
    chooseMatchingType();
}

CFuelSensorDlg::WriteResult CFuelSensorDlg::onWrite() {
    if (!takeValues()) {
        return WriteResult::Refused;
    }
    if (!CFuelSensor::orderValid(thresholds_)) {
        CMessageBox::show(this, CFuelSensor::kOrderText);
        return WriteResult::Refused;
    }
    WriteResult result = WriteResult::Failed;
    runGuarded(this, "CFuelSensorDlg::OnWrite", [&] { result = writeToDevice(); });
    return result;
}

CFuelSensorDlg::WriteResult CFuelSensorDlg::writeToDevice() {
    CWriteOutcomeBox::transfer_t transfer;
    transfer.write = [&] {
        return COffWindow::run(this, "Wpisywanie progów czujnika poziomu gazu...",
                               [&] { return writes_.writeFuel(thresholds_); });
    };
    transfer.portOpen = [&] { return device_.isConnected(); };
    const write_outcome_t outcome = CWriteOutcomeBox::runTransfer(this, transfer);
    if (!outcome) {
        return WriteResult::Failed;
    }
    held_ = thresholds_;
    written_->setText(QString("Progi czujnika wpisano do urządzenia o %1.")
                          .arg(QString::fromStdString(outcome.when)));
    return WriteResult::Written;
}

QString CFuelSensorDlg::writtenNote() const {
    return written_->text();
}

QStringList CFuelSensorDlg::unwrittenChanges() const {
    QStringList changes;
    for (int i = 0; i < 4; ++i) {
        const auto value = CNumberText::toDouble(edits_[i]->text());
        if (!value || *value != held_[i]) {
            changes << CFuelSensor::fieldName(CFuelSensor::Index(i));
        }
    }
    return changes;
}

void CFuelSensorDlg::onTypeChosen(int index) {
    if (index < 0 || index >= int(CFuelSensor::types().size())) {
        return;
    }
    timer_->stop();
    // "Inny" keeps whatever is shown, typed or not.
    if (auto values = CFuelSensor::typeValues(CFuelSensor::types()[index])) {
        thresholds_ = *values;
        showValues();
    }
    timer_->start(pollPeriod());
}

void CFuelSensorDlg::onFactory() {
    if (CMessageBox::show(this, kFactoryQuestion, CMessageBox::Icon::Question,
                          CMessageBox::Buttons::YesNo) != CMessageBox::Answer::Yes) {
        return;
    }
    thresholds_ = *CFuelSensor::typeValues(CFuelSensor::Type::Aeb1050);
    showValues();
    chooseMatchingType();
}

void CFuelSensorDlg::onTimer() {
    poll_.start(
        [this]() -> std::optional<std::uint16_t> {
            std::uint16_t read = 0;
            if (device_.readFuelLevel(read)) {
                return read;
            }
            return std::nullopt;
        },
        [this] {
            QMetaObject::invokeMethod(
                this, [this] { showPoll(); }, Qt::QueuedConnection);
        });
}

// The poll's failures are not shown: the next poll simply tries again.
void CFuelSensorDlg::showPoll() {
    std::optional<std::uint16_t> level;
    ErrorPtr ignored = catchError([&] { level = poll_.take(); });
    if (level) {
        reading_->setText(QString::number(*level));
        setLamps(*level);
    }
}

void CFuelSensorDlg::setLamps(int reading) {
    if (CFuelSensor::inReserve(thresholds_, reading)) {
        blink_ = !blink_;
    }
    const CFuelSensor::Lamps lamps = CFuelSensor::lamps(thresholds_, reading, blink_);
    for (int i = 0; i < 4; ++i) {
        lamps_[i]->setColours(qColour(lamps[i]));
    }
    for (CColorStatic* lamp : lamps_) {
        lamp->repaint();
    }
}

void CFuelSensorDlg::done(int result) {
    const QStringList changes = unwrittenChanges();
    if (!changes.isEmpty()) {
        const QString question =
            QString(kUnwrittenHeading) + " " + changes.join(", ") + ".\n" + kWriteQuestion;
        const auto answer =
            CMessageBox::askToWriteFirst(this, question, CMessageBox::kBackToEditing);
        if (answer == CMessageBox::Answer::Cancel) {
            return;
        }
        // A refused value or a failed write has been shown in a box; what was typed
        // stays on screen to be corrected or written again.
        if (answer == CMessageBox::Answer::Yes && onWrite() != WriteResult::Written) {
            return;
        }
    }
    timer_->stop();
    poll_.stop();
    QDialog::done(result);
}
