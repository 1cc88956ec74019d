// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <QDialog>
#include <QString>

#include "settings/car_settings_search.h"

class QComboBox;
class QPushButton;
class QTableWidget;

// "Wybierz ustawienia samochodu...": finds the stored settings files of one car (make,
// model, engine capacity) and gives the full path of the one chosen. Rows written for
// the connected controller stand out.
class CCarSettingsDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kNoSelectionText = "Musisz zaznaczyć ustawienia na liście";

    // `connectedId` is the connected controller's identification (UTF-8, empty when none);
    // an empty root means the program's library.
    CCarSettingsDlg(QWidget* parent, std::string connectedId, QString libraryRoot = {});

    // The chosen file once the dialog was accepted.
    QString filePath() const { return path_; }

    // "Znajdź".
    void find();
    // "Wybierz".
    void accept() override;

    QComboBox* makeCombo() const { return make_; }
    QComboBox* modelCombo() const { return model_; }
    QComboBox* capacityCombo() const { return capacity_; }
    QTableWidget* list() const { return list_; }
    QPushButton* findButton() const { return find_; }
    QPushButton* chooseButton() const { return choose_; }
    // The colours rows are drawn in: the connected controller's, then the two plain ones.
    static QColor highlightColour();
    static QColor plainColour(int index);

  private:
    void buildList();
    int columnWidth(int column) const;
    void onMakeChosen(int index);
    void onModelChosen(int index);
    void fillCapacities();
    void addRow(const car_settings_row_t& row);
    std::string root() const;

    std::string connectedId_;
    QString root_;
    QString path_;
    // The rows of the last search and the car they were found for.
    std::vector<car_settings_row_t> rows_;
    std::string foundMake_, foundModel_, foundCapacity_;
    QComboBox* make_;
    QComboBox* model_;
    QComboBox* capacity_;
    QPushButton* find_;
    QPushButton* choose_;
    QTableWidget* list_;
};
