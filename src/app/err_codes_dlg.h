// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

// "Kody błędów urządzenia": the decoded error report, read-only.
class CErrCodesDlg : public QDialog {
    Q_OBJECT
  public:
    CErrCodesDlg(QWidget* parent, const QString& text);
    QString text() const { return text_; }

  private:
    QString text_;
};
