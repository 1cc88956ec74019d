// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/device_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/device_doc.h"
#include "link/conversions.h"
#include "widgets/color_static.h"
#include "widgets/message_box.h"
#include "widgets/number_text.h"
#include "widgets/write_outcome_box.h"

namespace {

const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kGrey(200, 200, 200);
const QColor kReplayBlue(173, 216, 230);
const QColor kStaleText(128, 128, 128);

struct value_row_t {
    const char* label;
    const char* initial;
    bool yellow;
};

constexpr value_row_t kRows[CDevicePanel::kValues] = {
    {"RPM", "0", true},         {"Czas benz.", "0.00", false},
    {"Czas LPG", "0.00", true}, {"T.ogrzewacza", "0.0", false},
    {"T. LPG", "0.0", true},    {"Ciśn.różnicowe", "0.0", false},
    {"Lambda", "0.0", true},    {"Nap. zas.", "0.00", false},
    {"T. wewn.", "0.0", true},
};

QFont panelFont(bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(20);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

const QString kCorrectionField = QStringLiteral("Główna poprawka [ms]");

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

}  // namespace

CDevicePanel::CDevicePanel(CDeviceDoc& document, QWidget* parent)
    : QWidget(parent), doc_(document) {
    build();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CDevicePanel::refresh);
    spinWrite_ = new QTimer(this);
    spinWrite_->setSingleShot(true);
    connect(spinWrite_, &QTimer::timeout, this, &CDevicePanel::writeSpunCorrection);
    connect(&doc_, &CDeviceDoc::mainCorrectionShown, this,
            [this](double ms) { correction_->setText(number(ms, 3)); });
    // The version mismatch box has told the user; a write would only repeat it.
    connect(&doc_, &CDeviceDoc::quickEditorDisabled, this, [this] {
        versionLocked_ = true;
        setQuickEditorEnabled(false);
    });
    connect(&doc_, &CDeviceDoc::linkLost, this, [this] {
        versionLocked_ = false;  // the next controller is checked anew
        showNoValues();
    });
    connect(&doc_, &CDeviceDoc::stateChanged, this, &CDevicePanel::onStateChanged);
}

void CDevicePanel::onStateChanged() {
    const bool connected = doc_.isConnected();
    // The wizard or an auto-calibration owns the work mode and the settings meanwhile.
    const bool commands = connected && !doc_.procedureRunning();
    gasoline_->setEnabled(commands);
    lpg_->setEnabled(commands);
    auto_->setEnabled(commands);
    injectors_->setEnabled(connected);
    // A controller found again (Połącz ponownie) may be edited again, unless its
    // version check has just locked the editor; the next controller is checked anew.
    if (!connected) {
        versionLocked_ = false;
    }
    if (!writing_) {
        setQuickEditorEnabled(commands && !versionLocked_);
    }
    // A recording named while diagnostics are off is a replay on screen.
    if (!doc_.diagOn() && !doc_.recordingName().empty()) {
        showReplay();
    }
}

void CDevicePanel::build() {
    auto* grid = new QGridLayout;
    for (int i = 0; i < kValues; ++i) {
        auto* label = new QLabel(kRows[i].label, this);
        label->setFont(panelFont(i % 2 == 0));
        values_[i] = new CColorStatic(kRows[i].initial, this);
        values_[i]->setObjectName(QString("value%1").arg(i));
        values_[i]->setFont(panelFont(true));
        values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values_[i]->setMinimumWidth(80);
        values_[i]->setColours(kRows[i].yellow ? kYellow : kWhite);
        grid->addWidget(label, i, 0);
        grid->addWidget(values_[i], i, 1);
    }
    fuel_ = new CColorStatic({}, this);
    fuel_->setAlignment(Qt::AlignCenter);
    fuel_->setFont(panelFont(true));
    setFuel("Benzyna", kYellow);

    gasoline_ = new QPushButton("Benzyna", this);
    lpg_ = new QPushButton("LPG", this);
    auto_ = new QPushButton("Auto", this);
    connect(gasoline_, &QPushButton::clicked, this, &CDevicePanel::onBtnGasoline);
    connect(lpg_, &QPushButton::clicked, this, &CDevicePanel::onBtnLpg);
    connect(auto_, &QPushButton::clicked, this, &CDevicePanel::onBtnAuto);

    injectors_ = new QComboBox(this);
    for (int i = 1; i <= 8; ++i)
        injectors_->addItem(QString::number(i));
    connect(injectors_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { doc_.selectedInjector() = index + 1; });
    charts_ = new QComboBox(this);
    charts_->addItems({"Obroty 1/min", "Czas wtrysku [ms]", "Ciśnienie [kPa]",
                       "Temperatura LPG [C]", "Sonda Lambda [V]"});
    charts_->setCurrentIndex(1);
    connect(charts_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int kind) { emit chartChosen(kind); });

    correction_ = new QLineEdit(this);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    write_ = new QPushButton("Wpisz", this);
    connect(up_, &QToolButton::clicked, this, [this] { onCorrectionSpin(-1); });
    connect(down_, &QToolButton::clicked, this, [this] { onCorrectionSpin(1); });
    connect(write_, &QPushButton::clicked, this, &CDevicePanel::onBtnSetCorrection);
    setQuickEditorEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(fuel_);
    auto* modes = new QHBoxLayout;
    modes->addWidget(gasoline_);
    modes->addWidget(lpg_);
    modes->addWidget(auto_);
    layout->addLayout(modes);
    auto* selectors = new QGridLayout;
    selectors->addWidget(new QLabel("Wtryskiwacz", this), 0, 0);
    selectors->addWidget(injectors_, 0, 1);
    selectors->addWidget(new QLabel("Wykres", this), 1, 0);
    selectors->addWidget(charts_, 1, 1);
    layout->addLayout(selectors);
    layout->addWidget(new QLabel(kCorrectionField, this));
    auto* editor = new QHBoxLayout;
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(up_);
    spin->addWidget(down_);
    editor->addWidget(correction_);
    editor->addLayout(spin);
    editor->addWidget(write_);
    layout->addLayout(editor);
    layout->addStretch(1);
}

void CDevicePanel::setFuel(const QString& text, const QColor& colour) {
    fuel_->setText(text);
    fuel_->setColours(colour);
    fuel_->repaint();
}

void CDevicePanel::setQuickEditorEnabled(bool on) {
    correction_->setEnabled(on);
    up_->setEnabled(on);
    down_->setEnabled(on);
    write_->setEnabled(on);
}

void CDevicePanel::firstUpdate() {
    const bool connected = doc_.isConnected();
    if (connected) {
        doc_.quickStartDiagnostics();
        pollSettings();  // the quick editor shows what the controller holds
    } else {
        showNoValues();
    }
    setQuickEditorEnabled(connected && !versionLocked_);
}

void CDevicePanel::clearValues() {
    for (int i = 0; i < kValues; ++i)
        values_[i]->setText(kRows[i].initial);
    setFuel("Benzyna", kYellow);
}

void CDevicePanel::showNoValues() {
    for (CColorStatic* value : values_)
        value->setText("BRAK");
    setFuel(kNoConnectionText, kGrey);
}

void CDevicePanel::showReplay() {
    for (CColorStatic* value : values_)
        value->setText("–");
    setFuel(kReplayText, kReplayBlue);
}

void CDevicePanel::startRefresh() {
    awaitingFirst_ = true;
    timer_->start(kFirstSampleMs);
}

void CDevicePanel::stopRefresh() {
    timer_->stop();
    setStale(true);
}

void CDevicePanel::setStale(bool stale) {
    if (stale == stale_) {
        return;
    }
    stale_ = stale;
    for (int i = 0; i < kValues; ++i) {
        values_[i]->setColours(kRows[i].yellow ? kYellow : kWhite, stale ? kStaleText : Qt::black);
    }
    if (stale) {
        setFuel(fuel_->text(), kGrey);
    }
}

void CDevicePanel::showSample(const app_msg_t& s) {
    setStale(false);
    const CControllerClock clock = doc_.store().clock();
    const double rpm = s.rpm(clock);
    values_[0]->setText(rpm < 100 ? "BRAK" : number(rpm, 0));
    values_[1]->setText(number(s.gasTimeMs(clock), 2));
    values_[2]->setText(number(s.lpgTimeMs(clock), 2));
    const double reducer = s.reducerTemp(), gas = s.gasTemp();
    values_[3]->setText(reducer < -30 ? "BRAK" : number(reducer, 0));
    values_[4]->setText(gas < -30 ? "BRAK" : number(gas, 0));
    const double pressure = s.pressureKpa();
    values_[5]->setText(pressure < 15 ? "BRAK" : number(pressure, 1));
    values_[6]->setText(number(s.lambdaVolts(), 1));
    values_[7]->setText(number(s.supplyVolts(), 1));
    values_[8]->setText(number(s.internalTemp(), 0));
    if (s.work_state == 3) {
        setFuel("LPG", kGreen);
        doc_.info().reducerPressure = pressure;
    } else {
        setFuel("Benzyna", kYellow);
    }
}

void CDevicePanel::refresh() {
    app_msg_t sample;
    if (!doc_.store().getLast(&sample)) {
        return;
    }
    showSample(sample);
    doc_.showInjectors(sample.lpg_injectors);
    if (awaitingFirst_) {
        awaitingFirst_ = false;
        timer_->setInterval(kRefreshMs);  // the first sample is shown; the polls count from here
        return;
    }
    if (--errorPoll_ == 0) {
        errorPoll_ = kErrorPollEvery;
        pollErrors();
    }
    if (--settingsPoll_ == 0) {
        settingsPoll_ = kSettingsPollEvery;
        pollSettings();
    }
}

namespace {

bool running(const std::future<void>& poll) {
    return poll.valid() && poll.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

}  // namespace

CDevicePanel::~CDevicePanel() {
    for (std::future<void>* poll : {&errorsPoll_, &settingsPollRun_}) {
        if (poll->valid()) {
            poll->wait();
        }
    }
}

bool CDevicePanel::polling() const {
    return running(errorsPoll_) || running(settingsPollRun_);
}

bool CDevicePanel::pollOffWindow(std::future<void>& poll, std::function<void()> exchanges) {
    if (running(poll)) {
        return false;
    }
    poll = std::async(std::launch::async, [exchanges = std::move(exchanges)] {
        catchError(exchanges);  // polls are silent: a missed answer changes nothing
    });
    return true;
}

// Polls are silent: a replay without a controller, or a missed answer, changes nothing.
void CDevicePanel::pollErrors() {
    if (!doc_.isConnected())
        return;
    if (!pollOffWindow(errorsPoll_, [this] {
            CLPGDevice::report_t report{};
            if (doc_.readErrors(report) && !doc_.decodeReport(report).empty()) {
                doc_.showControllerError(true);  // handed to the window's thread
            }
        })) {
        errorPoll_ = 1;  // the next refresh tries again
    }
}

// A value being typed or written is not replaced; the poll comes at the next refresh.
void CDevicePanel::pollSettings() {
    if (!doc_.isConnected())
        return;
    if (correctionBusy()) {
        settingsPoll_ = 1;
        return;
    }
    if (!pollOffWindow(settingsPollRun_, [this] {
            // Only the copy of what the controller holds is refreshed; the window shows it.
            if (doc_.readSetup()) {
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (!correctionBusy()) {
                            correction_->setText(number(doc_.heldSetup().mainCorrection, 3));
                        }
                    },
                    Qt::QueuedConnection);
            }
        })) {
        settingsPoll_ = 1;
    }
}

// One mode switch on a worker: `shown` when the controller confirmed it, the failure box
// when not, nothing when the user stopped it. Ctrl+B and the like reach here with the
// buttons greyed while a procedure runs.
void CDevicePanel::switchMode(const mode_switch_t& mode) {
    if (doc_.procedureRunning()) {
        return;
    }
    runGuarded(this, mode.where, [&] {
        bool stopped = false;
        const bool switched = COffWindow::run(
            this, mode.running, [&] { return (doc_.*mode.command)(); }, &stopped);
        if (stopped) {
            return;
        }
        if (switched) {
            mode.shown();
        } else {
            CMessageBox::show(this, mode.failed, CMessageBox::Icon::Error);
        }
    });
}

void CDevicePanel::onBtnGasoline() {
    switchMode({"CDevicePanel::onBtnGasoline()", "Przełączanie sterownika na benzynę...",
                &CLPGDevice::setWorkGas, "Nie powiodło się przełączenie na benzynę!",
                [this] { setFuel("Benzyna", kYellow); }});
}

void CDevicePanel::onBtnLpg() {
    switchMode({"CDevicePanel::onBtnLpg()", "Przełączanie sterownika na LPG...",
                &CLPGDevice::setWorkLPG, "Nie powiodło się przełączenie na LPG!",
                [this] { setFuel("LPG", kGreen); }});
}

void CDevicePanel::onBtnAuto() {
    switchMode({"CDevicePanel::onBtnAuto()", "Przełączanie sterownika w tryb AUTO...",
                &CLPGDevice::setWorkAuto, "Nie powiodło się przełączenie w tryb AUTO!", [this] {
                    fuel_->setText("AUTO");
                    fuel_->repaint();
                }});
}

void CDevicePanel::onBtnSetCorrection() {
    if (writing_ || doc_.procedureRunning()) {
        return;
    }
    const auto typed = CNumberText::readDouble(correction_, kCorrectionField);
    if (!typed) {
        return;
    }
    writeCorrection(*typed);
}

// The write starts from what the controller holds now and changes the main correction
// only, so nothing else the controller holds is replaced by an older value.
void CDevicePanel::writeCorrection(double ms) {
    writing_ = true;
    runGuarded(this, "CDevicePanel::onBtnSetCorrection()", [&] {
        dev_setup_t setup;
        bool stopped = false;
        if (!COffWindow::run(
                this, "Wczytywanie ustawień z urządzenia...", [&] { return doc_.readSetup(setup); },
                &stopped)) {
            if (stopped) {
                return;
            }
            CMessageBox::show(this, "Nie można wczytać ustawień z urządzenia.",
                              CMessageBox::Icon::Error);
            return;
        }
        setup.mainCorrection = conv::roundToTimeStep(ms);
        const setup_write_t written = doc_.writeSetup(setup);
        if (!CWriteOutcomeBox::show(this, written) && !written) {
            CMessageBox::show(this,
                              "Nie powiodło się ustawienie urządzenia!\n"
                              "Sterownik nie potwierdził zapisu; sprawdź połączenie i spróbuj "
                              "ponownie.",
                              CMessageBox::Icon::Error);
        }
        // What the controller holds, typed or not; a write says so as the editors do.
        correction_->setText(number(doc_.heldSetup().mainCorrection, 3));
        if (written) {
            doc_.showStatus(QString("Wpisano główną poprawkę %1 ms o %2.")
                                .arg(QString::fromStdString(
                                         conv::polishNumber(written.stored.mainCorrection, 3)),
                                     QString::fromStdString(written.when)));
        }
    });
    writing_ = false;
}

// Each click changes the value shown; the write follows once the clicks have stopped,
// so a run of clicks is one write and one stored file.
void CDevicePanel::onCorrectionSpin(int d) {
    if (writing_) {
        return;
    }
    const auto shown = CNumberText::readDouble(correction_, kCorrectionField);
    if (!shown) {
        return;
    }
    const double v = conv::roundToTimeStep(*shown - d * kSpinStepMs);
    if (v < 0 || v > 6) {
        return;
    }
    correction_->setText(number(v, 3));
    spinWrite_->start(spinDelay_);
}

void CDevicePanel::writeSpunCorrection() {
    // A wizard, a calibration or an editor started since the clicks: its write decides
    // the settings, and the clicked value is dropped.
    if (doc_.procedureRunning() || QApplication::activeModalWidget()) {
        correction_->setText(number(doc_.heldSetup().mainCorrection, 3));
        return;
    }
    if (const auto shown = CNumberText::readDouble(correction_, kCorrectionField)) {
        writeCorrection(*shown);
    }
}

bool CDevicePanel::correctionBusy() const {
    return writing_ || correction_->hasFocus() || spinWrite_->isActive();
}

void CDevicePanel::selectInjector(int injector) {
    if (injector >= 1 && injector <= 8)
        injectors_->setCurrentIndex(injector - 1);
}

void CDevicePanel::selectChart(int kind) {
    if (kind < 0 || kind > 4 || kind == charts_->currentIndex())
        return;
    charts_->setCurrentIndex(kind);
    emit chartChosen(kind);
}

QString CDevicePanel::valueText(int i) const {
    return values_.at(i)->text();
}
QString CDevicePanel::fuelText() const {
    return fuel_->text();
}
QColor CDevicePanel::fuelColour() const {
    return fuel_->background();
}
QString CDevicePanel::correctionText() const {
    return correction_->text();
}
void CDevicePanel::setCorrectionText(const QString& text) {
    correction_->setText(text);
}
bool CDevicePanel::correctionEnabled() const {
    return write_->isEnabled();
}
