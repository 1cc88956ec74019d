// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "app/device_doc.h"

CDeviceMenu::CDeviceMenu(QMenuBar* bar, CDeviceDoc& document, QWidget* window)
    : QObject(bar), doc_(document) {
    CDeviceDoc* doc = &document;
    QMenu* file = bar->addMenu("&Plik");
    add(file, ID_LOAD_RECORDING, "&Wczytaj plik diagnostyczny...\tCtrl+F")
        ->setShortcut(QKeySequence("Ctrl+F"));
    connect(action(ID_LOAD_RECORDING), &QAction::triggered, doc, &CDeviceDoc::loadRecording);
    connect(add(file, ID_EXPORT_CSV, "&Eksportuj do CSV..."), &QAction::triggered, doc,
            &CDeviceDoc::exportCsv);
    connect(add(file, ID_SETUP_REPORT, "&Raport montażu..."), &QAction::triggered, doc,
            &CDeviceDoc::writeSetupReport);
    file->addSeparator();
    connect(add(file, ID_EXIT, "W&yjście"), &QAction::triggered, window, &QWidget::close);

    QMenu* eeprom = bar->addMenu("&EEPROM");
    connect(add(eeprom, ID_EEPROM_READ, "&Wczytaj..."), &QAction::triggered, doc,
            &CDeviceDoc::readEepromToFile);
    connect(add(eeprom, ID_EEPROM_WRITE, "W&pisz..."), &QAction::triggered, doc,
            &CDeviceDoc::writeEepromFromFile);
    connect(add(eeprom, ID_DEVICE_VERSION, "W&ersja urządzenia..."), &QAction::triggered, doc,
            &CDeviceDoc::onVersionDialog);

    QMenu* diagnostics = bar->addMenu("&Diagnostyka");
    connect(add(diagnostics, ID_DIAGNOSTIC, "&Włącz tryb diagnostyczny"), &QAction::triggered, doc,
            &CDeviceDoc::onDiagnostic);
    diagnostics->addSeparator();
    connect(add(diagnostics, ID_RECONNECT, "&Połącz ponownie"), &QAction::triggered, doc,
            &CDeviceDoc::onReconnect);

    QMenu* settings = bar->addMenu("&Ustawienia urządzenia");
    connect(add(settings, ID_AUTO_SET, "Ustawienia &krok po kroku..."), &QAction::triggered, doc,
            &CDeviceDoc::onAutoSet);
    connect(add(settings, ID_AUTO_SETUP_PANE, "Ustawienia &automatycze"), &QAction::triggered, doc,
            &CDeviceDoc::toggleAutoSetupPane);
    connect(add(settings, ID_MANUAL_SETTINGS, "Ustawienia &ręczne..."), &QAction::triggered, doc,
            &CDeviceDoc::onManualSettings);
    connect(add(settings, ID_SETTINGS_HISTORY, "&Historia ustawień..."), &QAction::triggered, doc,
            &CDeviceDoc::onSettingsHistory);
    connect(add(settings, ID_INJ_SEQUENCE, "K&olejność wtryskiwaczy..."), &QAction::triggered, doc,
            &CDeviceDoc::onInjSequence);
    connect(add(settings, ID_MAP_PANE, "&Mapa wtrysków"), &QAction::triggered, doc,
            &CDeviceDoc::toggleMapPane);
    action(ID_AUTO_SETUP_PANE)->setCheckable(true);
    action(ID_MAP_PANE)->setCheckable(true);

    QMenu* sensors = bar->addMenu("&Czujniki");
    connect(add(sensors, ID_FUEL_SENSOR, "&Kalibracja czujnika poziomu gazu..."),
            &QAction::triggered, doc, &CDeviceDoc::onFuelSensor);

    QMenu* errors = bar->addMenu("&Kody błędów");
    connect(add(errors, ID_ERRORS_READ, "&Wczytaj..."), &QAction::triggered, doc,
            &CDeviceDoc::onErrorsRead);
    connect(add(errors, ID_ERRORS_CLEAR, "&Kasuj"), &QAction::triggered, doc,
            &CDeviceDoc::onErrorsClear);

    QMenu* information = bar->addMenu("&Informacje");
    connect(add(information, ID_ABOUT, "&O programie..."), &QAction::triggered, doc,
            &CDeviceDoc::onAbout);
    connect(add(information, ID_UNLOCK, "O&dblokowanie "), &QAction::triggered, doc,
            &CDeviceDoc::onUnlock);

    for (QMenu* menu : bar->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &CDeviceMenu::update);
    }
    connect(doc, &CDeviceDoc::stateChanged, this, &CDeviceMenu::update);
    update();
}

QAction* CDeviceMenu::add(QMenu* menu, Id id, const QString& text) {
    QAction* item = menu->addAction(text);
    item->setObjectName(QString::number(id));
    actions_[id] = item;
    return item;
}

void CDeviceMenu::update() {
    const bool connected = doc_.isConnected();
    const bool diagOn = doc_.diagOn();
    const bool service = connected && doc_.unlocked();
    // What switches modes or writes waits for the wizard or auto-calibration to end.
    const bool writable = !doc_.procedureRunning();
    action(ID_LOAD_RECORDING)->setEnabled(!diagOn);
    action(ID_EXPORT_CSV)->setEnabled(!doc_.exportableRecording().empty());
    action(ID_SETUP_REPORT)->setEnabled(connected);
    action(ID_EEPROM_READ)->setEnabled(service);
    action(ID_EEPROM_WRITE)->setEnabled(service && writable);
    action(ID_DEVICE_VERSION)->setEnabled(service && writable);
    action(ID_DIAGNOSTIC)->setEnabled(connected);
    action(ID_DIAGNOSTIC)
        ->setText(diagOn ? "&Wyłącz tryb diagnostyczny" : "&Włącz tryb diagnostyczny");
    // Searching the ports again needs the line free of any run.
    action(ID_RECONNECT)->setEnabled(!diagOn && !doc_.workerRunning());
    action(ID_AUTO_SET)->setEnabled(connected && diagOn && writable);
    action(ID_AUTO_SETUP_PANE)->setEnabled(connected && diagOn);
    action(ID_AUTO_SETUP_PANE)->setChecked(doc_.autoSetupShown());
    action(ID_MANUAL_SETTINGS)
        ->setEnabled(writable && (connected || !doc_.recordingName().empty()));
    action(ID_INJ_SEQUENCE)->setEnabled(connected);
    action(ID_MAP_PANE)->setChecked(doc_.mapShown());
    action(ID_FUEL_SENSOR)->setEnabled(connected && writable);
    action(ID_ERRORS_READ)->setEnabled(connected);
    action(ID_ERRORS_CLEAR)->setEnabled(connected && writable);
}
