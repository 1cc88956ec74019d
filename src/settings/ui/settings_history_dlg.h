// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <QDialog>
#include <QString>

#include "settings/car_settings_history.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// "Historia ustawień...": every stored settings file of one car, oldest first, with
// what changed against the one before; gives the path of the file to load into the
// settings editor.
class CSettingsHistoryDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kNoSelectionText = "Musisz zaznaczyć ustawienia na liście";
    static constexpr const char* kEmptyText = "Brak zapisanych ustawień tego samochodu.";
    static constexpr const char* kFirstText = "Pierwszy zapis: nie ma z czym porównać.";
    static constexpr const char* kChangesHeading =
        "Zmiany względem poprzedniego zapisu (wcześniej | teraz):\n";
    static constexpr const char* kSameText = "Bez zmian względem poprzedniego zapisu.";
    static constexpr const char* kUnreadableText =
        "Tego pliku ustawień nie da się odczytać; wybierz inny zapis.\n%1";

    // `carFolder` is the car's folder in the library; `carName` is shown as the heading.
    // Without `canLoad` the dialog only shows the history.
    CSettingsHistoryDlg(QWidget* parent, const std::string& carFolder, const QString& carName,
                        bool canLoad);

    // The chosen file once the dialog was accepted.
    QString filePath() const { return path_; }
    // "Wczytaj do edytora".
    void accept() override;

    QListWidget* list() const { return list_; }
    QPlainTextEdit* changesView() const { return changes_; }
    QPushButton* loadButton() const { return load_; }

  private:
    void showChanges(int row);
    static QString entryText(const car_settings_entry_t& entry);

    std::vector<car_settings_entry_t> entries_;
    QString path_;
    QListWidget* list_;
    QPlainTextEdit* changes_;
    QPushButton* load_;
};
