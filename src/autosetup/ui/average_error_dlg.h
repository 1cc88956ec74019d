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
