#pragma once

#include <QDialog>

class QLineEdit;

// "Ustawienia RS232": a COM port number from 1 to 4, or a device path such as
// /dev/ttyUSB0 (what a user of this system knows the adapter as).
class CRSSetupDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CRSSetupDlg(QWidget* parent = nullptr);

    int port() const { return port_; }
    // The device path entered instead of a number; empty for a number.
    QString devicePath() const { return path_; }

    void accept() override;

  private:
    QLineEdit* edit_;
    int port_ = 1;
    QString path_;
};
