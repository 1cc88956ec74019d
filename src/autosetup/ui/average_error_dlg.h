// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;

// "Tolerancja autoustawiania": the tolerance of the auto-calibration's averaging in
// percent, asked by the step-by-step setup before its calibration step. Any number is
// taken (a decimal comma too); a text that is not one is refused and stays for editing.
class CAverageErrorDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kEditId = 1153;
    static constexpr int kMinWidth = 360;
    // Room the title bar takes beside the title: the icon and the close button.
    static constexpr int kTitleBarButtons = 120;
    static constexpr const char* kExplanation =
        "Tolerancja w procentach (%): poprawka z jednego kroku pomiaru jest brana do wyniku, "
        "gdy różni się od środkowej poprawki pięciu kroków o mniej niż tyle procent; "
        "pozostałe są odrzucane. Zwykle 10 %.";

    explicit CAverageErrorDlg(QWidget* parent = nullptr, double tolerancePercent = 10.0);

    // The tolerance in percent; the typed value once OK has accepted it.
    double tolerancePercent() const { return tolerance_; }
    QLineEdit* edit() const { return edit_; }

    // OK: takes the typed number, or refuses the text and stays open.
    void onOk();

  private:
    QLineEdit* edit_;
    double tolerance_;
};
