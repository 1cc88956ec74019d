// SPDX-License-Identifier: GPL-3.0-or-later
// "Historia ustawień...": the stored settings files of the connected controller's car,
// or of a car picked in the settings chooser, and one of them into the settings editor.
#include <QDialog>
#include <QDir>
#include <QFileInfo>

#include "app/device_doc.h"
#include "settings/car_info.h"
#include "settings/car_texts.h"
#include "settings/cp1250.h"
#include "settings/ui/car_settings_dlg.h"
#include "settings/ui/settings_history_dlg.h"
#include "widgets/dialog_runner.h"

namespace {

QString carName(const car_texts_t& car) {
    return QString::fromStdString(car.make + " " + car.model + " " + car.capacity);
}

}  // namespace

void CDeviceDoc::onSettingsHistory() {
    std::string folder;
    QString name;
    const car_texts_t car = car_texts_t::fromRecord(info());
    if (isConnected() && !car.make.empty() && !car.model.empty() && !car.capacity.empty()) {
        const CCarInfo library;
        folder = library.carSettingsRoot() + library.carFolder(car.make, car.model, car.capacity);
        name = carName(car);
    } else {
        // Any file of the car picked in the chooser names its folder.
        CCarSettingsDlg chooser(window_, isConnected() ? cp1250ToUtf8(info().id) : std::string());
        if (CDialogRunner::exec(chooser) != QDialog::Accepted) {
            return;
        }
        const QFileInfo file(chooser.filePath());
        folder = file.absolutePath().toStdString();
        const car_texts_t chosen = CCarInfo::folderCar(folder);
        name = carName(chosen);
    }
    const bool canLoad = isConnected() || !recordingName().empty();
    CSettingsHistoryDlg history(window_, folder, name, canLoad);
    if (CDialogRunner::exec(history) != QDialog::Accepted) {
        return;
    }
    openSettingsEditor(history.filePath().toStdString());
}
