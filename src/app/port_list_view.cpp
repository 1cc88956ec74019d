// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_list_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "link/port_list.h"

namespace {

constexpr int kProblemRole = Qt::UserRole;

QLabel* wrappedLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    // The commands in the advice are meant to be copied into a terminal.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

CPortListView::CPortListView(QWidget* parent) : QWidget(parent) {
    list_ = new QTreeWidget(this);
    list_->setObjectName("ports");
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({"Port", "Przejściówka", "Dostęp", "Opóźnienie"});
    // Every column as wide as its contents, so the last one stays in sight.
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->setMinimumWidth(560);
    problem_ = wrappedLabel("problem", this);
    warnings_ = wrappedLabel("warnings", this);
    auto* again = new QPushButton("Odśwież", this);
    again->setObjectName("refresh");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Porty szeregowe tego komputera:", this));
    layout->addWidget(list_);
    layout->addWidget(problem_);
    layout->addWidget(warnings_);
    layout->addWidget(again, 0, Qt::AlignLeft);

    connect(again, &QPushButton::clicked, this, &CPortListView::refresh);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CPortListView::showSelected);
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { emit portActivated(item->text(COL_PATH)); });
    refresh();
}

void CPortListView::refresh() {
    const CPortList::listing_t listing = CPortList().list();
    list_->clear();
    for (const port_entry_t& port : listing.ports) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(COL_PATH, QString::fromStdString(port.path));
        item->setText(COL_DESCRIPTION, QString::fromStdString(port.description));
        item->setText(COL_ACCESS, port.accessible ? "tak" : "nie");
        if (port.latencyMs >= 0) {
            item->setText(COL_LATENCY, QString("%1 ms").arg(port.latencyMs));
        }
        const QString problem =
            QString::fromStdString(port.problem.empty() || port.latencyAdvice.empty()
                                       ? port.problem + port.latencyAdvice
                                       : port.problem + "\n\n" + port.latencyAdvice);
        item->setData(COL_PATH, kProblemRole, problem);
        item->setToolTip(COL_PATH, QString::fromStdString(port.byId));
        item->setToolTip(COL_ACCESS, problem);
        if (!port.accessible) {
            item->setForeground(COL_ACCESS, Qt::darkRed);
        }
        if (!port.latencyAdvice.empty()) {
            item->setForeground(COL_LATENCY, Qt::darkRed);
            item->setToolTip(COL_LATENCY, QString::fromStdString(port.latencyAdvice));
        }
    }
    QStringList warnings;
    for (const auto& warning : listing.warnings) {
        warnings << QString::fromStdString(warning);
    }
    warnings_->setText(warnings.join("\n\n"));
    warnings_->setVisible(!warnings.isEmpty());
    problem_->setText(listing.ports.empty() ? CPortList::kNoPorts : "");
    problem_->setVisible(listing.ports.empty());
}

QString CPortListView::selectLikeliest() {
    QTreeWidgetItem* chosen = nullptr;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->data(COL_PATH, kProblemRole).toString().isEmpty()) {
            const QString path = item->text(COL_PATH);
            if (path.startsWith("/dev/ttyUSB") || path.startsWith("/dev/ttyACM")) {
                chosen = item;
                break;
            }
            chosen = chosen ? chosen : item;
        }
    }
    if (!chosen) {
        return {};
    }
    list_->setCurrentItem(chosen);  // selecting it fills the dialog's field
    return chosen->text(COL_PATH);
}

QString CPortListView::problemText() const {
    return problem_->text();
}

QString CPortListView::warningsText() const {
    return warnings_->text();
}

void CPortListView::showSelected() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const QString problem = selected.first()->data(COL_PATH, kProblemRole).toString();
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    emit portChosen(selected.first()->text(COL_PATH));
}
