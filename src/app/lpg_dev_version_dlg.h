// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class CLPGDevice;
class QLineEdit;
class QPushButton;

// "Wersja urządzenia": the controller's programming date, version, injector count and
// ID, read from and written to the controller (service unlock only).
class CLPGDevVersionDlg : public QDialog {
    Q_OBJECT
  public:
    CLPGDevVersionDlg(QWidget* parent, CLPGDevice& device);

    void onRead();
    void onWrite();

    // Why the controller cannot take a programming date ("dd/mm/yyyy", from 1 April 2004
    // over the 65 535 days its record counts), with what was typed on the second line;
    // empty when it can.
    static QString dateRefusal(const QString& text);

    QLineEdit* dateEdit() const { return date_; }
    QLineEdit* versionEdit() const { return version_; }
    QLineEdit* injectorsEdit() const { return injectors_; }
    QLineEdit* idEdit() const { return id_; }
    QPushButton* closeButton() const { return close_; }

  private:
    CLPGDevice& device_;
    QLineEdit* date_;
    QLineEdit* version_;
    QLineEdit* injectors_;
    QLineEdit* id_;
    QPushButton* close_;
};
