// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;

// "Kody błędów urządzenia": the decoded error report, read-only, and under it what to
// check for each family of the faults.
class CErrCodesDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kAdviceHeading = "Co sprawdzić:";

    CErrCodesDlg(QWidget* parent, const QString& text, const QStringList& advice = {});
    QString text() const { return text_; }
    QString adviceText() const;

  private:
    QString text_;
    QLabel* advice_ = nullptr;
};
