// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;

// "Odblokowanie": closes with OK only when the service password is typed exactly
// (letter case counts); a wrong password is refused with a box and the dialog stays open.
class CPasswdDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kWrongText =
        "Niepoprawne hasło. Wpisz hasło serwisowe ponownie.\n"
        "Wielkość liter ma znaczenie.";

    CPasswdDlg(QWidget* parent, QString password);
    void accept() override;

  private:
    QLineEdit* edit_;
    QString password_;
};
