// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/car_settings_dlg.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "settings/car_info.h"
#include "widgets/message_box.h"

namespace {

struct column_t {
    const char* heading;
    int width;
    Qt::Alignment alignment;
};

constexpr column_t kColumns[car_settings_row_t::COLUMNS] = {
    {"Data", 130, Qt::AlignLeft | Qt::AlignVCenter},
    {"Rok prod.", 80, Qt::AlignCenter},
    {"Moc [KM]", 70, Qt::AlignCenter},
    {"Wtryskiwacze", 100, Qt::AlignCenter},
    {"Skalibrowane na", 90, Qt::AlignCenter},
    {"Ciśn. reduktora", 90, Qt::AlignCenter},
    {"Nr sterownika", 0, Qt::AlignCenter},
    {"Wersja sterownika", 90, Qt::AlignCenter},
    {"Uwagi", 90, Qt::AlignCenter},
};

void fill(QComboBox* combo, const std::vector<std::string>& texts) {
    combo->clear();
    for (const std::string& text : texts) {
        combo->addItem(QString::fromStdString(text));
    }
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

std::string textOf(const QComboBox* combo) {
    return combo->currentText().toStdString();
}

}  // namespace

CCarSettingsDlg::CCarSettingsDlg(QWidget* parent, std::string connectedId, QString libraryRoot)
    : QDialog(parent), connectedId_(std::move(connectedId)), root_(std::move(libraryRoot)) {
    setWindowTitle("Wybierz ustawienia samochodu...");
    make_ = new QComboBox(this);
    model_ = new QComboBox(this);
    capacity_ = new QComboBox(this);
    for (QComboBox* combo : {make_, model_, capacity_}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setMinimumContentsLength(12);
    }
    find_ = new QPushButton("Znajdź", this);
    list_ = new QTableWidget(this);
    buildList();

    auto* buttons = new QDialogButtonBox(this);
    choose_ = buttons->addButton("Wybierz", QDialogButtonBox::AcceptRole);
    buttons->addButton("Anuluj", QDialogButtonBox::RejectRole);
    choose_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCarSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCarSettingsDlg::reject);

    auto* search = new QGridLayout;
    search->addWidget(new QLabel("Marka pojazdu", this), 0, 0);
    search->addWidget(new QLabel("Model", this), 0, 1);
    search->addWidget(new QLabel("Pojemność silnika", this), 0, 2);
    search->addWidget(make_, 1, 0);
    search->addWidget(model_, 1, 1);
    search->addWidget(capacity_, 1, 2);
    search->addWidget(find_, 1, 3);
    search->setColumnStretch(4, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    fill(make_, CCarInfo(nullptr, root()).listMakes());
    if (make_->count() > 0) {
        onMakeChosen(0);  // the make shown, with its settings listed at once
    }
    connect(make_, QOverload<int>::of(&QComboBox::activated), this, &CCarSettingsDlg::onMakeChosen);
    connect(model_, QOverload<int>::of(&QComboBox::activated), this,
            &CCarSettingsDlg::onModelChosen);
    connect(capacity_, QOverload<int>::of(&QComboBox::activated), this, &CCarSettingsDlg::find);
    connect(find_, &QPushButton::clicked, this, &CCarSettingsDlg::find);
    connect(list_, &QTableWidget::cellDoubleClicked, this, &CCarSettingsDlg::accept);
    resize(900, 420);
}

std::string CCarSettingsDlg::root() const {
    return root_.toStdString();
}

// A heading or a whole time stamp wider than its column would be cut; the column grows.
int CCarSettingsDlg::columnWidth(int column) const {
    if (kColumns[column].width == 0) {
        return 0;
    }
    const QString widest = column == car_settings_row_t::DATE
                               ? QStringLiteral("00-00-0000-00:00:00")
                               : QString(kColumns[column].heading);
    const int needed = list_->horizontalHeader()->fontMetrics().horizontalAdvance(widest) + 16;
    return std::max(kColumns[column].width, needed);
}

void CCarSettingsDlg::buildList() {
    list_->setColumnCount(car_settings_row_t::COLUMNS);
    for (int i = 0; i < car_settings_row_t::COLUMNS; ++i) {
        auto* header = new QTableWidgetItem(kColumns[i].heading);
        header->setTextAlignment(kColumns[i].alignment);
        list_->setHorizontalHeaderItem(i, header);
        list_->setColumnWidth(i, columnWidth(i));
    }
    list_->setColumnHidden(car_settings_row_t::ID, true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
}

// The make's models, the first of them chosen, and that model's capacities, so the
// three combos always name a car of the library; its stored settings are listed at once.
void CCarSettingsDlg::onMakeChosen(int index) {
    make_->setCurrentIndex(index);
    fill(model_, CCarInfo(nullptr, root()).listModels(textOf(make_)));
    fillCapacities();
    find();
}

void CCarSettingsDlg::onModelChosen(int index) {
    model_->setCurrentIndex(index);
    fillCapacities();
    find();
}

void CCarSettingsDlg::fillCapacities() {
    fill(capacity_, CCarInfo(nullptr, root()).listCapacities(textOf(make_), textOf(model_)));
}

void CCarSettingsDlg::find() {
    list_->setRowCount(0);
    foundMake_ = textOf(make_);
    foundModel_ = textOf(model_);
    foundCapacity_ = textOf(capacity_);
    rows_ = CCarSettingsSearch::find(CCarInfo(nullptr, root()), foundMake_, foundModel_,
                                     foundCapacity_, connectedId_);
    for (const car_settings_row_t& row : rows_) {
        addRow(row);
    }
}

QColor CCarSettingsDlg::highlightColour() {
    return QColor(255, 236, 150);
}

QColor CCarSettingsDlg::plainColour(int index) {
    return index % 2 == 0 ? QColor(Qt::white) : QColor(232, 240, 250);
}

void CCarSettingsDlg::addRow(const car_settings_row_t& row) {
    const int at = list_->rowCount();
    list_->insertRow(at);
    const QColor background = row.connected ? highlightColour() : plainColour(row.index);
    for (int i = 0; i < car_settings_row_t::COLUMNS; ++i) {
        auto* item = new QTableWidgetItem(QString::fromStdString(row.columns[i]));
        item->setTextAlignment(kColumns[i].alignment);
        item->setBackground(background);
        item->setForeground(QColor(Qt::black));
        list_->setItem(at, i, item);
    }
}

void CCarSettingsDlg::accept() {
    const auto selected = list_->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        CMessageBox::show(nullptr, kNoSelectionText);
        return;
    }
    const car_settings_row_t& row = rows_.at(static_cast<std::size_t>(selected.front().row()));
    // The row belongs to the car of the search, whatever the combos show since.
    const std::string root = CCarInfo(nullptr, this->root()).carSettingsRoot();
    path_ = QString::fromStdString(
        CCarSettingsSearch::resultPath(root, foundMake_, foundModel_, foundCapacity_, row));
    QDialog::accept();
}
