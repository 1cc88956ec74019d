// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

// The modeless notice shown while the program connects or loads a recording.
class CReadDiagDlg : public QDialog {
    Q_OBJECT
  public:
    CReadDiagDlg(QWidget* parent, const QString& text);
    // Shows the notice and lets it be drawn before the long operation starts.
    void showNow();
};
