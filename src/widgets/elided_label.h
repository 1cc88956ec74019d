// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A one-line text that never widens its window: too long for its room, it is cut in
// the middle (both the start and the end of a file name stay readable), and the whole
// text is its tooltip.
class CElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void elide();

    QString full_;
};
