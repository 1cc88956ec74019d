// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/dev_setup_dlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTime>

#include "app/device_doc.h"
#include "diag/settings_history.h"
#include "link/setup_fields.h"
#include "settings/cp1250.h"
#include "settings/record_copy.h"
#include "settings/ui/car_settings_dlg.h"
#include "settings/ui/inj_seq_type_dlg.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"
#include "widgets/off_window.h"
#include "widgets/write_outcome_box.h"

namespace {

using Icon = CMessageBox::Icon;

// Bits of the controller's feature word (first word of its clock record).
constexpr std::uint32_t kFeatureInjectionType = 0x01;  // the injection type may be chosen
constexpr std::uint32_t kFeatureNoMasks = 0x04;        // the controller has no injector masks

}  // namespace

CDevSetupDlg::CDevSetupDlg(QWidget* parent, CDeviceDoc& document)
    : QDialog(parent), doc_(document), record_(document.info()) {
    record_.setup = doc_.heldSetup();
    record_.notes.clear();  // every opening starts with empty notes
    opened_ = record_;
    buildLayout();
    initDialog();
}

bool CDevSetupDlg::lookingAtRecording() const {
    return !doc_.diagOn() && !doc_.recordingName().empty();
}

void CDevSetupDlg::initDialog() {
    fillSnapshotList();
    showRecord();
    // Without a controller there is nothing to read; the controller buttons are off then.
    if (!lookingAtRecording() && doc_.isConnected()) {
        onGetConfig();
    }
    for (QLineEdit* edit : injectorEdits_) {
        edit->setEnabled(false);
    }
    edits_[TIME_AVERAGING]->setEnabled(false);
    edits_[PRESSURE_AVERAGING]->setEnabled(false);
    read_->setEnabled(doc_.isConnected());
    write_->setEnabled(doc_.isConnected());
    applyFeatureWord();
    doc_.normalRefresh();
}

void CDevSetupDlg::applyFeatureWord() {
    const std::uint32_t features = doc_.info().clock[0];
    const bool typeChosen = (features & kFeatureInjectionType) != 0;
    for (QRadioButton* radio : types_) {
        radio->setEnabled(typeChosen);
    }
    describe_->setEnabled(typeChosen);
    maskGroup_->setVisible((features & kFeatureNoMasks) == 0);
}

void CDevSetupDlg::fillSnapshotList() {
    snapshots_.clear();
    CSettingsHistory::readHistory(doc_.recordingName(), snapshots_);
    snapshotList_->setRowCount(0);
    for (const device_info_t& snapshot : snapshots_) {
        const int row = snapshotList_->rowCount();
        snapshotList_->insertRow(row);
        snapshotList_->setItem(
            row, 0, new QTableWidgetItem(QString::fromStdString(cp1250ToUtf8(snapshot.timeStamp))));
        snapshotList_->setItem(
            row, 1, new QTableWidgetItem(QString::fromStdString(cp1250ToUtf8(snapshot.notes))));
    }
    snapshotList_->setEnabled(!snapshots_.empty());
}

void CDevSetupDlg::onGetConfig() {
    runGuarded(this, "CDevSetupDlg::onGetConfig()", [&] {
        dev_setup_t setup = record_.setup;
        bool stopped = false;
        const bool read = COffWindow::run(
            this, "Wczytywanie ustawień z urządzenia...", [&] { return doc_.readSetup(setup); },
            &stopped);
        if (stopped) {
            return;
        }
        if (!read) {
            CMessageBox::show(this, kReadFailedText, Icon::Error);
            return;
        }
        record_.setup = setup;
        readBack_ = record_;
        showRecord();
    });
}

bool CDevSetupDlg::onSetConfig() {
    if (!moveControls()) {
        return false;
    }
    runGuarded(this, "CDevSetupDlg::onSetConfig()", [&] {
        // The table bit follows the table the controller holds: this editor writes no
        // table, and edits in the time-correction pane are not the controller's yet.
        device_info_t flagsFrom = record_;
        const auto held = COffWindow::run(this, "Wczytywanie ustawień z urządzenia...",
                                          [&] { return doc_.controllerTable(); });
        if (held) {
            flagsFrom.timeTable = *held;
        }
        boxes_.toRecord(record_, masksEditable());
        record_.setup.flags = boxes_.functionFlags(flagsFrom);
        // A new injection type takes effect only after a controller restart; what counts
        // is the type the controller holds, whatever replaced the record meanwhile.
        const bool restart = setupNeedsRestart(doc_.heldSetup(), record_.setup);
        doc_.adoptRecord(record_);
        const setup_write_t written = doc_.writeSetup(record_.setup);
        if (!CWriteOutcomeBox::show(this, written) && !written) {
            CMessageBox::show(this, kWriteFailedText, Icon::Error);
        }
        if (!written) {
            return;
        }
        // The controller's values, not the typed ones, and the job's car, not the copy
        // this editor opened with.
        record_.setup = written.stored;
        record_.car() = doc_.info().car();
        readBack_ = record_;
        showRecord();
        fillSnapshotList();
        showWritten(QString("Ustawienia wpisano do urządzenia o %1.")
                        .arg(QString::fromStdString(written.when)));
        if (!written.adjusted.empty()) {
            QStringList lines;
            for (const std::string& line : written.adjusted) {
                lines << QString::fromStdString(line);
            }
            CMessageBox::show(this, lines.join("\n"), Icon::Information);
        }
        if (restart &&
            !COffWindow::run(this, "Restart sterownika...", [&] { return doc_.clearErrors(); })) {
            CMessageBox::show(this, kResetFailedText, Icon::Error);
        }
    });
    return true;
}

bool CDevSetupDlg::masksEditable() const {
    return maskGroup_->isVisible() &&
           std::all_of(injectorEdits_.begin(), injectorEdits_.end(),
                       [](const QLineEdit* edit) { return edit->isEnabled(); });
}

void CDevSetupDlg::onLoadFile() {
    CCarSettingsDlg chooser(this,
                            doc_.isConnected() ? cp1250ToUtf8(doc_.info().id) : std::string());
    if (CDialogRunner::exec(chooser) != QDialog::Accepted) {
        return;
    }
    loadFile(chooser.filePath().toStdString());
}

bool CDevSetupDlg::loadFile(const std::string& path) {
    const auto result = CRecordCopy::loadFile(path, record_, doc_.carInfoGiven());
    if (result != CRecordCopy::Result::Loaded) {
        CMessageBox::show(this, CRecordCopy::text(result), Icon::Error);
        return false;
    }
    showRecord();
    return true;
}

void CDevSetupDlg::onFactory() {
    if (CMessageBox::show(this, kFactoryQuestion, Icon::Question, CMessageBox::Buttons::YesNo) !=
        CMessageBox::Answer::Yes) {
        return;
    }
    CRecordCopy::restoreFactory(record_);
    showRecord();
}

void CDevSetupDlg::onDescription() {
    doc_.slowRefresh();
    CInjSeqTypeDlg dialog(this);
    CDialogRunner::exec(dialog);
    doc_.normalRefresh();
}

void CDevSetupDlg::chooseSnapshot(int row) {
    if (row < 0 || row >= static_cast<int>(snapshots_.size())) {
        return;
    }
    const device_info_t& snapshot = snapshots_[static_cast<std::size_t>(row)];
    record_ = snapshot;
    doc_.adoptRecord(record_);
    showRecord();
    emit doc_.timeTableReplaced();
    if (!doc_.diagOn()) {
        doc_.showRecordingFrom(snapshot.recordPosition, kSnapshotWidth);
    }
}

void CDevSetupDlg::showWritten(const QString& text) {
    written_->setText(text);
    doc_.showStatus(text);
}

QString CDevSetupDlg::writtenNote() const {
    return written_->text();
}

void CDevSetupDlg::done(int result) {
    const QStringList changes = lookingAtRecording() ? QStringList() : unwrittenChanges();
    if (changes.isEmpty()) {
        QDialog::done(result);
        return;
    }
    const QString list = QString(kUnwrittenHeading) + " " + changes.join(", ") + ".\n";
    if (!doc_.isConnected()) {
        if (CMessageBox::show(this, list + kNoControllerQuestion, Icon::Question,
                              CMessageBox::Buttons::YesNo,
                              {CMessageBox::kCloseUnwritten, CMessageBox::kBackToEditing}) ==
            CMessageBox::Answer::Yes) {
            QDialog::done(result);
        }
        return;
    }
    const auto answer =
        CMessageBox::askToWriteFirst(this, list + kCloseQuestion, CMessageBox::kBackToEditing);
    if (answer == CMessageBox::Answer::Cancel) {
        return;
    }
    // A refused value, or a write the controller did not take, keeps the dialog open so
    // that nothing typed is lost; the box has said why.
    if (answer == CMessageBox::Answer::Yes && (!onSetConfig() || !unwrittenChanges().isEmpty())) {
        return;
    }
    QDialog::done(result);
}
