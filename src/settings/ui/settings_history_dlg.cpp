// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/settings_history_dlg.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/cp1250.h"
#include "widgets/message_box.h"

CSettingsHistoryDlg::CSettingsHistoryDlg(QWidget* parent, const std::string& carFolder,
                                         const QString& carName, bool canLoad)
    : QDialog(parent), entries_(CCarSettingsHistory::list(carFolder)) {
    setWindowTitle("Historia ustawień");
    list_ = new QListWidget(this);
    changes_ = new QPlainTextEdit(this);
    changes_->setReadOnly(true);
    changes_->setLineWrapMode(QPlainTextEdit::NoWrap);
    for (const auto& entry : entries_) {
        list_->addItem(entryText(entry));
    }

    auto* buttons = new QDialogButtonBox(this);
    load_ = buttons->addButton("Wczytaj do edytora", QDialogButtonBox::AcceptRole);
    buttons->addButton("Zamknij", QDialogButtonBox::RejectRole);
    load_->setVisible(canLoad);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsHistoryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsHistoryDlg::reject);
    connect(list_, &QListWidget::currentRowChanged, this, &CSettingsHistoryDlg::showChanges);
    if (canLoad) {
        connect(list_, &QListWidget::itemDoubleClicked, this, &CSettingsHistoryDlg::accept);
    }

    auto* panes = new QHBoxLayout;
    panes->addWidget(list_, 1);
    panes->addWidget(changes_, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(carName, this));
    layout->addLayout(panes, 1);
    layout->addWidget(buttons);
    // The newest store is the one most often looked at.
    list_->setCurrentRow(list_->count() - 1);
    if (entries_.empty()) {
        changes_->setPlainText(kEmptyText);
    }
    resize(760, 420);
}

QString CSettingsHistoryDlg::entryText(const car_settings_entry_t& entry) {
    QString text = QString::fromStdString(entry.when);
    if (!entry.info.notes.empty()) {
        text += "  " + QString::fromStdString(cp1250ToUtf8(entry.info.notes));
    }
    return text;
}

void CSettingsHistoryDlg::showChanges(int row) {
    if (row < 0 || row >= static_cast<int>(entries_.size())) {
        changes_->clear();
        return;
    }
    const car_settings_entry_t& entry = entries_[static_cast<std::size_t>(row)];
    QString text;
    if (!entry.readable) {
        text = QString(kUnreadableText).arg(QString::fromStdString(entry.path));
    } else if (!entry.changes.empty()) {
        text =
            kChangesHeading + QString::fromStdString(CSettingsCompare::labelledText(entry.changes));
    } else {
        const bool first = std::none_of(entries_.begin(), entries_.begin() + row,
                                        [](const auto& e) { return e.readable; });
        text = first ? kFirstText : kSameText;
    }
    changes_->setPlainText(text);
}

void CSettingsHistoryDlg::accept() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size())) {
        CMessageBox::show(this, kNoSelectionText);
        return;
    }
    path_ = QString::fromStdString(entries_[static_cast<std::size_t>(row)].path);
    QDialog::accept();
}
