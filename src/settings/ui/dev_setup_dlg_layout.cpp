// SPDX-License-Identifier: GPL-3.0-or-later
// The settings editor's controls and where they stand.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "settings/ui/dev_setup_dlg.h"
#include "settings/ui/dev_setup_fields.h"
#include "widgets/mnemonics.h"

namespace {

constexpr int kEditWidth = 80;

QLineEdit* numberEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setFixedWidth(kEditWidth);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

// Label, edit and the text after it in one row of `grid`.
void addFieldRow(QGridLayout* grid, int row, QWidget* label, QLineEdit* edit, const char* suffix) {
    if (label) {
        if (auto* text = qobject_cast<QLabel*>(label)) {
            text->setBuddy(edit);
        }
        grid->addWidget(label, row, 0);
    }
    grid->addWidget(edit, row, 1);
    if (*suffix) {
        grid->addWidget(new QLabel(suffix, edit->parentWidget()), row, 2);
    }
}

}  // namespace

void CDevSetupDlg::buildLayout() {
    setWindowTitle("Ustawienia urządzenia");
    for (int f = 0; f < FIELDS; ++f) {
        edits_[f] = numberEdit(this);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(buildFieldsPane());
    top->addWidget(buildCorrectionsPane());
    top->addWidget(buildMaskGroup(), 0, Qt::AlignTop);

    buildSnapshotList();
    auto* notesGroup = new QGroupBox("Uwagi", this);
    notes_ = new QLineEdit(notesGroup);
    notes_->setMaxLength(kNotesLength);
    auto* notesLayout = new QVBoxLayout(notesGroup);
    notesLayout->addWidget(notes_);
    auto* right = new QVBoxLayout;
    right->addWidget(notesGroup);
    right->addWidget(buildButtonsPane());
    right->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(snapshotList_, 1);
    bottom->addLayout(right, 1);

    auto* closing = new QDialogButtonBox(this);
    closing->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    closing->addButton("Anuluj", QDialogButtonBox::RejectRole);
    connect(closing, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(closing, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom, 1);
    layout->addWidget(closing);
    connectMarks();
    CMnemonics::assign(*this);
}

QWidget* CDevSetupDlg::buildFieldsPane() {
    auto* pane = new QWidget(this);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    const Field order[] = {
        SWITCH_SPEED,    SWITCH_TEMP, MAX_INTERNAL_TEMP, GAS_SWITCH_PRESSURE, RPM_THRESHOLD,
        IGNITION_PULSES, MIN_SUPPLY,  EMULATOR_DELAY,    TIME_AVERAGING,      PRESSURE_AVERAGING};
    int row = 0;
    for (Field f : order) {
        const setup_field_def_t& def = setupFieldDef(f);
        edits_[f]->setParent(pane);
        addFieldRow(grid, row++, new QLabel(def.label, pane), edits_[f], def.suffix);
    }
    allowChange_ = new QCheckBox("Pozwól zmienić", pane);
    grid->addWidget(allowChange_, row++, 1, 1, 2);
    grid->setRowStretch(row, 1);
    connect(allowChange_, &QCheckBox::toggled, this, [this](bool on) {
        edits_[TIME_AVERAGING]->setEnabled(on);
        edits_[PRESSURE_AVERAGING]->setEnabled(on);
    });
    return pane;
}

QWidget* CDevSetupDlg::buildCorrectionsPane() {
    auto* pane = new QWidget(this);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);

    auto* main = new QGridLayout;
    mainCorrection_ = new QCheckBox("Główna poprawka", pane);
    for (Field f : {MAIN_CORRECTION, LPG_INJ_DELAY}) {
        edits_[f]->setParent(pane);
    }
    addFieldRow(main, 0, mainCorrection_, edits_[MAIN_CORRECTION], "[ms]");
    addFieldRow(main, 1, new QLabel(setupFieldDef(LPG_INJ_DELAY).label, pane),
                edits_[LPG_INJ_DELAY], "[ms]");
    column->addLayout(main);

    auto* pressure = new QGroupBox("Poprawki od ciśnienia różnicowego", pane);
    auto* pressureGrid = new QGridLayout(pressure);
    pressureCorrection_ = new QCheckBox("Włączone", pressure);
    pressureGrid->addWidget(pressureCorrection_, 0, 0, 1, 2);
    for (Field f : {REF_PRESSURE, PRESSURE_SLOPE}) {
        edits_[f]->setParent(pressure);
        addFieldRow(pressureGrid, f == REF_PRESSURE ? 1 : 2,
                    new QLabel(setupFieldDef(f).label, pressure), edits_[f], "");
    }
    column->addWidget(pressure);

    gasoline12V_ = new QCheckBox("Wtryskiwacze benzynowe załączane sygnałem 12 V", pane);
    column->addWidget(gasoline12V_);

    auto* type = new QGroupBox("Typ wtrysku benzynowego", pane);
    auto* typeGrid = new QGridLayout(type);
    const char* names[] = {"Pełna sekwencja", "Niesekwencja", "Półsekwencja"};
    for (int t = 0; t < 3; ++t) {
        types_[t] = new QRadioButton(names[t], type);
        typeGrid->addWidget(types_[t], t, 0);
    }
    describe_ = new QPushButton("Opis...", type);
    typeGrid->addWidget(describe_, 0, 1, Qt::AlignTop | Qt::AlignRight);
    connect(describe_, &QPushButton::clicked, this, &CDevSetupDlg::onDescription);
    column->addWidget(type);
    column->addStretch(1);
    return pane;
}

QGroupBox* CDevSetupDlg::buildMaskGroup() {
    maskGroup_ = new QGroupBox("Maski wtryskiwaczy LPG", this);
    auto* grid = new QGridLayout(maskGroup_);
    for (int i = 0; i < kInjectors; ++i) {
        grid->addWidget(new QLabel(QString::number(i + 1), maskGroup_), i, 0);
        grid->addWidget(new QLabel("-->", maskGroup_), i, 1);
        injectorEdits_[i] = new QLineEdit(maskGroup_);
        injectorEdits_[i]->setFixedWidth(40);
        injectorEdits_[i]->setAlignment(Qt::AlignRight);
        grid->addWidget(injectorEdits_[i], i, 2);
    }
    masksOn_ = new QCheckBox("Włącz", maskGroup_);
    masksOn_->setEnabled(false);
    grid->addWidget(masksOn_, kInjectors, 0, 1, 3);
    return maskGroup_;
}

QWidget* CDevSetupDlg::buildButtonsPane() {
    auto* pane = new QWidget(this);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    read_ = new QPushButton("Wczytaj z urządzenia", pane);
    write_ = new QPushButton("Wpisz do urządzenia", pane);
    file_ = new QPushButton("Wczytaj z pliku....", pane);
    factory_ = new QPushButton("Przywróć ustawienia fabryczne", pane);
    writeFile_ = new QPushButton("Wpisz do pliku...", pane);
    writeFile_->hide();  // kept for the layout of older versions; it does nothing
    grid->addWidget(read_, 0, 0);
    grid->addWidget(write_, 0, 1);
    grid->addWidget(file_, 1, 0);
    grid->addWidget(factory_, 1, 1);
    grid->addWidget(writeFile_, 2, 0);
    // What was written to the controller, and when.
    written_ = new QLabel(pane);
    written_->setObjectName("written");
    // One line, its room kept from the start: a note appearing later (or a wrapped one,
    // which asks for its height at the narrowest width) would squeeze the fields of a
    // dialog that already fills the screen.
    written_->setFixedHeight(written_->fontMetrics().lineSpacing() + 2);
    grid->addWidget(written_, 3, 0, 1, 2);
    connect(read_, &QPushButton::clicked, this, &CDevSetupDlg::onGetConfig);
    connect(write_, &QPushButton::clicked, this, [this] { onSetConfig(); });
    connect(file_, &QPushButton::clicked, this, &CDevSetupDlg::onLoadFile);
    connect(factory_, &QPushButton::clicked, this, &CDevSetupDlg::onFactory);
    return pane;
}

void CDevSetupDlg::buildSnapshotList() {
    snapshotList_ = new QTableWidget(0, 2, this);
    snapshotList_->setHorizontalHeaderLabels({"Lista ustawień", "Uwagi"});
    snapshotList_->setColumnWidth(0, 135);
    snapshotList_->setColumnWidth(1, 60);
    snapshotList_->horizontalHeader()->setStretchLastSection(true);
    snapshotList_->verticalHeader()->hide();
    snapshotList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    snapshotList_->setSelectionMode(QAbstractItemView::SingleSelection);
    snapshotList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    snapshotList_->setMinimumHeight(120);
    connect(snapshotList_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { chooseSnapshot(row); });
}

void CDevSetupDlg::connectMarks() {
    for (QLineEdit* edit : edits_) {
        connect(edit, &QLineEdit::textChanged, this, &CDevSetupDlg::updateMarks);
    }
    for (QLineEdit* edit : injectorEdits_) {
        connect(edit, &QLineEdit::textChanged, this, &CDevSetupDlg::updateMarks);
    }
    for (QCheckBox* box : {mainCorrection_, pressureCorrection_, gasoline12V_}) {
        connect(box, &QCheckBox::toggled, this, &CDevSetupDlg::updateMarks);
    }
    for (QRadioButton* radio : types_) {
        connect(radio, &QRadioButton::toggled, this, &CDevSetupDlg::updateMarks);
    }
}
