// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>

#include <QObject>

class QAction;
class QMenuBar;
class QWidget;
class CDeviceDoc;

// The device menu: every command with its text, and the rules that grey it.
class CDeviceMenu : public QObject {
    Q_OBJECT
  public:
    enum Id {
        ID_LOAD_RECORDING = 32783,
        ID_EXPORT_CSV = 32810,
        ID_SETUP_REPORT = 32811,
        ID_EXIT = 57665,
        ID_EEPROM_READ = 32793,
        ID_EEPROM_WRITE = 32794,
        ID_DEVICE_VERSION = 32801,
        ID_DIAGNOSTIC = 32775,
        ID_RECONNECT = 32805,
        ID_AUTO_SET = 32803,
        ID_AUTO_SETUP_PANE = 32791,
        ID_MANUAL_SETTINGS = 32790,
        ID_SETTINGS_HISTORY = 32806,
        ID_INJ_SEQUENCE = 32792,
        ID_MAP_PANE = 32798,
        ID_FUEL_SENSOR = 32802,
        ID_ERRORS_READ = 32795,
        ID_ERRORS_CLEAR = 32796,
        ID_ABOUT = 57664,
        ID_UNLOCK = 32804,
    };

    CDeviceMenu(QMenuBar* bar, CDeviceDoc& document, QWidget* window);

    QAction* action(Id id) const { return actions_.at(id); }
    // Greys and checks the items from the document's present state.
    void update();

  private:
    QAction* add(class QMenu* menu, Id id, const QString& text);

    CDeviceDoc& doc_;
    std::map<Id, QAction*> actions_;
};
