// The device menu's commands that talk to the controller or show dialogs.
#include <QDialog>

#include "app/about_dlg.h"
#include "app/device_doc.h"
#include "app/device_frame.h"
#include "widgets/dialog_runner.h"
#include "app/err_codes_dlg.h"
#include "app/lpg_dev_version_dlg.h"
#include "widgets/message_box.h"
#include "app/passwd_dlg.h"
#include "widgets/wait_cursor.h"
#include "settings/eeprom_image.h"
#include "settings/program_folders.h"

namespace {

constexpr const char* kNotYetAvailable =
    "Ta funkcja nie jest jeszcze dostępna w tej wersji programu.";

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
        CWaitCursor wait;
        CEepromImage::bytes_t image{};
        if (!readEeprom(image.data(), 0, image.size())) {
            CMessageBox::show(window_, CEepromImage::kReadFailedText, Icon::Error);
            return;
        }
        if (CEepromImage::write(path.toStdString(), image) != CEepromImage::Result::Ok) {
            CMessageBox::show(window_, CEepromImage::kCannotOpenText, Icon::Error);
        }
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
        CWaitCursor wait;
        CEepromImage::bytes_t image{};
        const auto result = CEepromImage::read(path.toStdString(), image);
        if (result != CEepromImage::Result::Ok) {
            CMessageBox::show(window_, CEepromImage::text(result), Icon::Error);
            return;
        }
        if (!writeEeprom(image.data(), 0, image.size())) {
            CMessageBox::show(window_, CEepromImage::kWriteFailedText, Icon::Error);
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
        bool read = false;
        {
            CWaitCursor wait;
            read = readErrors(report);
        }
        if (!read) {
            CMessageBox::show(window_, "Nie można wczytać błędów urządzenia");
            return;
        }
        showErrors(report);
    });
}

void CDeviceDoc::onErrorsClear() {
    runGuarded(window_, "CDeviceDoc::onErrorsClear()", [&] {
        bool cleared = false;
        {
            CWaitCursor wait;
            cleared = clearErrors();
        }
        if (!cleared) {
            CMessageBox::show(window_, "Nie można skasować błędów urządzenia");
        }
    });
}

void CDeviceDoc::showErrors(const report_t& report) {
    const std::string text = decodeReport(report);
    if (text.empty()) {
        CMessageBox::show(window_, "Brak błędów.");
        return;
    }
    slowRefresh();
    CErrCodesDlg dialog(window_, QString::fromStdString(text));
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
    if (isConnected()) {
        bool shown = false;
        runGuarded(window_, "CDeviceDoc::onManualSettings()", [&] {
            report_t report{};
            if (!readErrors(report)) {
                CMessageBox::show(window_, "Nie można wczytać błędów urządzenia");
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
    CMessageBox::show(window_, kNotYetAvailable, Icon::Information);
}

void CDeviceDoc::onInjSequence() {
    CMessageBox::show(window_, kNotYetAvailable, Icon::Information);
}

void CDeviceDoc::onFuelSensor() {
    CMessageBox::show(window_, kNotYetAvailable, Icon::Information);
}

void CDeviceDoc::onAutoSet() {
    CMessageBox::show(window_, kNotYetAvailable, Icon::Information);
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
