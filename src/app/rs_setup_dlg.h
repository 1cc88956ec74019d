// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// "Ustawienia RS232": a COM port number from 1 to 4, or a device such as /dev/ttyUSB0
// or, on Windows, COM7 (what a user of this system knows the adapter as), typed or
// picked from the ports of this machine (CPortListView).
class CRSSetupDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMinWidth = 340;
    // "…, np. /dev/ttyUSB0." with this system's device for port 1.
    static QString hintText();

    explicit CRSSetupDlg(QWidget* parent = nullptr);

    // Why the dialog is shown: the ports a search tried and what they gave.
    void setReason(const QString& text);
    QString reason() const;
    QString typedPort() const;

    int port() const { return port_; }
    // The device path entered instead of a number; empty for a number.
    QString devicePath() const { return path_; }

    void accept() override;

  private:
    QLabel* reason_;
    QLineEdit* edit_;
    int port_ = 1;
    QString path_;
};
