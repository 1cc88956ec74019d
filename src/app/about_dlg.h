// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class CDeviceDoc;
class QLabel;

// The About box; with a connected controller it names its version and clock words.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    CAboutDlg(QWidget* parent, CDeviceDoc* document);
    QString versionLine() const;

  private:
    QLabel* version_;
};
