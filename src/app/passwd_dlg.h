#pragma once

#include <QDialog>

class QLineEdit;

// "Odblokowanie": closes with OK only when the service password is typed exactly
// (letter case counts); a wrong password keeps it open and says nothing.
class CPasswdDlg : public QDialog {
    Q_OBJECT
  public:
    CPasswdDlg(QWidget* parent, QString password);
    void accept() override;

  private:
    QLineEdit* edit_;
    QString password_;
};
