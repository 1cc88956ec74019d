// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

#include <QDialog>

class QLabel;
class QPushButton;

// What a controller operation that takes longer than a moment shows: what runs, and
// "Przerwij", which ends it within the exchange already on the line. Escape and the
// title bar's close stop it too; the box stays until the operation has ended, so nothing
// else can be started meanwhile.
class CStopBox : public QDialog {
    Q_OBJECT
  public:
    CStopBox(QWidget* parent, const QString& text, std::atomic<bool>& going);
    void reject() override;

  private:
    std::atomic<bool>& going_;
    QLabel* text_ = nullptr;
    QPushButton* stop_ = nullptr;
};
