#pragma once

#include <QDialog>

class CLPGDevice;
class QLineEdit;

// "Wersja urządzenia": the controller's programming date, version, injector count and
// ID, read from and written to the controller (service unlock only).
class CLPGDevVersionDlg : public QDialog {
    Q_OBJECT
  public:
    CLPGDevVersionDlg(QWidget* parent, CLPGDevice& device);

    void onRead();
    void onWrite();

    QLineEdit* dateEdit() const { return date_; }
    QLineEdit* versionEdit() const { return version_; }
    QLineEdit* injectorsEdit() const { return injectors_; }
    QLineEdit* idEdit() const { return id_; }

  private:
    CLPGDevice& device_;
    QLineEdit* date_;
    QLineEdit* version_;
    QLineEdit* injectors_;
    QLineEdit* id_;
};
