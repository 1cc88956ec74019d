// SPDX-License-Identifier: GPL-3.0-or-later
// The device menu's commands that talk to the controller or show dialogs.
#include <QDialog>
#include <QFileInfo>

#include "app/about_dlg.h"
#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/err_codes_dlg.h"
#include "app/lpg_dev_version_dlg.h"
#include "app/passwd_dlg.h"
#include "corrections/ui/inj_seq_dlg.h"
#include "settings/eeprom_image.h"
#include "settings/program_folders.h"
#include "settings/ui/dev_setup_dlg.h"
#include "settings/ui/fuel_sensor_dlg.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"
#include "widgets/off_window.h"
#include "widgets/write_outcome_box.h"

namespace {

// The file's name in the sentence, its whole path on the detail line.
QString eepromRestoreQuestion(const QString& path) {
    return QString(
               "Czy na pewno zastąpić całą pamięć EEPROM sterownika zawartością pliku "
               "%1?\n%2")
        .arg(QFileInfo(path).fileName(), path);
}

// Part of the memory is new and part old: the controller must not be left so.
QString eepromSavedText(const QString& path) {
    return QString("Pamięć EEPROM sterownika zapisano w pliku %1.\n%2")
        .arg(QFileInfo(path).fileName(), path);
}

QString eepromRestoredText(const QString& path, const std::string& when) {
    return QString("Pamięć EEPROM sterownika zastąpiono zawartością pliku %1 o %2.\n%3")
        .arg(QFileInfo(path).fileName(), QString::fromStdString(when), path);
}

}  // namespace

void CDeviceDoc::readEepromToFile() {
    folder_ = QString::fromStdString(CProgramFolders::dataFolder());
    slowRefresh();
    const QString path =
        CFileDial::choose(window_, CFileDial::Mode::Save, folder_, kEepromFilter, "eeprom");
    normalRefresh();
    if (path.isEmpty()) {
        return;
    }
    folder_ = CFileDial::folderOf(path);
    runGuarded(window_, "CDeviceDoc::readEepromToFile()", [&] {
        CEepromImage::bytes_t image{};
        bool stopped = false;
        const bool read = COffWindow::run(
            window_, "Wczytywanie pamięci EEPROM sterownika...",
            [&] { return readEeprom(image.data(), 0, image.size()); }, &stopped);
        if (!read) {
            if (!stopped) {
                CMessageBox::show(window_, CEepromImage::kReadFailedText, Icon::Error);
            }
            return;
        }
        if (CEepromImage::write(path.toStdString(), image) != CEepromImage::Result::Ok) {
            CMessageBox::show(window_, CEepromImage::kCannotOpenText, Icon::Error);
            return;
        }
        CMessageBox::show(window_, eepromSavedText(path), Icon::Information);
    });
}

void CDeviceDoc::writeEepromFromFile() {
    folder_ = QString::fromStdString(CProgramFolders::dataFolder());
    slowRefresh();
    const QString path =
        CFileDial::choose(window_, CFileDial::Mode::Open, folder_, kEepromFilter, "eeprom");
    normalRefresh();
    if (path.isEmpty()) {
        return;
    }
    folder_ = CFileDial::folderOf(path);
    runGuarded(window_, "CDeviceDoc::writeEepromFromFile()", [&] {
        CEepromImage::bytes_t image{};
        const auto result = CEepromImage::read(path.toStdString(), image);
        if (result != CEepromImage::Result::Ok) {
            CMessageBox::show(window_, CEepromImage::text(result), Icon::Error);
            return;
        }
        // The whole memory is replaced, the map and the settings with it: asked first.
        if (CMessageBox::show(window_, eepromRestoreQuestion(path), Icon::Question,
                              Buttons::YesNo) != Answer::Yes) {
            return;
        }
        CWriteOutcomeBox::transfer_t transfer;
        transfer.write = [&] {
            return COffWindow::run(window_, "Wpisywanie pamięci EEPROM do sterownika...",
                                   [&] { return dataWrite_.restoreEeprom(image); });
        };
        transfer.portOpen = [&] { return isConnected(); };
        transfer.againQuestion = "Wpisać ją teraz jeszcze raz?";
        if (const write_outcome_t outcome = CWriteOutcomeBox::runTransfer(window_, transfer)) {
            CMessageBox::show(window_, eepromRestoredText(path, outcome.when), Icon::Information);
        }
    });
}

void CDeviceDoc::onVersionDialog() {
    slowRefresh();
    CLPGDevVersionDlg dialog(window_, *this);
    CDialogRunner::exec(dialog);
    normalRefresh();
}

void CDeviceDoc::onErrorsRead() {
    runGuarded(window_, "CDeviceDoc::onErrorsRead()", [&] {
        report_t report{};
        bool stopped = false;
        if (!readErrorsOffWindow(report, &stopped)) {
            if (!stopped) {
                CMessageBox::show(window_, "Nie można wczytać błędów urządzenia");
            }
            return;
        }
        showErrors(report);
    });
}

void CDeviceDoc::onErrorsClear() {
    // Cleared codes cannot be read again: asked first.
    if (CMessageBox::show(window_, kClearErrorsQuestion, Icon::Question, Buttons::YesNo) !=
        Answer::Yes) {
        return;
    }
    runGuarded(window_, "CDeviceDoc::onErrorsClear()", [&] {
        bool stopped = false;
        const bool cleared = COffWindow::run(
            window_, "Kasowanie błędów sterownika...", [&] { return clearErrors(); }, &stopped);
        if (!cleared && !stopped) {
            CMessageBox::show(window_, "Nie można skasować błędów urządzenia");
        }
    });
}

bool CDeviceDoc::readErrorsOffWindow(report_t& report, bool* stopped) {
    return COffWindow::run(
        window_, "Wczytywanie błędów sterownika...", [&] { return readErrors(report); }, stopped);
}

void CDeviceDoc::showErrors(const report_t& report) {
    const std::string text = decodeReport(report);
    if (text.empty()) {
        CMessageBox::show(window_, "Brak błędów.");
        return;
    }
    slowRefresh();
    QStringList advice;
    for (const std::string& line : adviceFor(report)) {
        advice << QString::fromStdString(line);
    }
    CErrCodesDlg dialog(window_, QString::fromStdString(text), advice);
    CDialogRunner::exec(dialog);
    normalRefresh();
}

void CDeviceDoc::onUnlock() {
    slowRefresh();
    CPasswdDlg dialog(window_, kServicePassword);
    const bool accepted = CDialogRunner::exec(dialog) == QDialog::Accepted;
    normalRefresh();
    if (accepted) {
        setUnlocked(true);
        emit stateChanged();
    }
}

void CDeviceDoc::onManualSettings() {
    openSettingsEditor({});
}

void CDeviceDoc::openSettingsEditor(const std::string& file) {
    if (isConnected()) {
        bool shown = false;
        runGuarded(window_, "CDeviceDoc::onManualSettings()", [&] {
            report_t report{};
            bool stopped = false;
            if (!readErrorsOffWindow(report, &stopped)) {
                if (!stopped) {
                    CMessageBox::show(window_, "Nie można wczytać błędów urządzenia");
                }
                shown = true;
                return;
            }
            if (!decodeReport(report).empty()) {
                CMessageBox::show(window_,
                                  "Sterownik LPG sygnalizuje błędy!\nSkasuj błędy i ponownie "
                                  "wczytaj ustawienia");
                showErrors(report);
                shown = true;
            }
        });
        if (shown) {
            return;
        }
    }
    slowRefresh();
    CDevSetupDlg dialog(window_, *this);
    if (!file.empty()) {
        dialog.loadFile(file);
    }
    CDialogRunner::exec(dialog);
}

void CDeviceDoc::onInjSequence() {
    slowRefresh();
    runGuarded(window_, "CDeviceDoc::onInjSequence()", [&] {
        CInjSeqDlg dialog(window_, *this);  // reads the sequence as it opens
        CDialogRunner::exec(dialog);
    });
    normalRefresh();
}

void CDeviceDoc::onFuelSensor() {
    slowRefresh();
    CFuelSensorDlg dialog(window_, *this, dataWrite_);  // reads the sensor as it opens
    normalRefresh();
    CDialogRunner::exec(dialog);
}

void CDeviceDoc::onAutoSet() {
    runSetupWizard();
}

void CDeviceDoc::toggleAutoSetupPane() {
    if (frame_) {
        autoSetupShown_ ? frame_->hideAutoSetupPane() : frame_->showAutoSetupPane();
    }
    autoSetupShown_ = !autoSetupShown_;
    emit stateChanged();
}

void CDeviceDoc::toggleMapPane() {
    if (frame_) {
        // The auto-calibration pane may have taken the map's place since it was shown.
        mapShown_ = mapShown_ && !frame_->mapGaveWay();
        mapShown_ ? frame_->hideMapPane() : frame_->showMapPane();
    }
    mapShown_ = !mapShown_;
    emit stateChanged();
}

void CDeviceDoc::onAbout() {
    slowRefresh();
    CAboutDlg dialog(window_, this);
    CDialogRunner::exec(dialog);
    normalRefresh();
}
