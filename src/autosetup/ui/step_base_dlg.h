// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QVBoxLayout;

// What the step dialogs of the step-by-step setup share: a caption, wrapped texts
// above, and the two buttons below; the first one goes on (OK), the second stops the
// setup (Cancel, also Escape and closing the window).
class CStepBaseDlg : public QDialog {
    Q_OBJECT
  public:
    // Wide enough for the longest line of every step's text, narrow enough for 1024 × 768.
    static constexpr int kTextWidth = 520;

    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The first button: closes the dialog with OK (a dialog with fields takes them first).
    virtual void onOk();

  protected:
    CStepBaseDlg(QWidget* parent, const QString& caption, const QString& okText,
                 const QString& cancelText);

    QVBoxLayout* body() const { return body_; }
    // A wrapped text at the end of `layout` (the body when none is given), `width` wide.
    QLabel* addText(const QString& text, QVBoxLayout* layout = nullptr, int width = kTextWidth);

  private:
    QVBoxLayout* body_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
