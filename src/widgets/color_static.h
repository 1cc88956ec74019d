// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A static text with its own background and text colours (the connection bar's
// indicators and lamps, the live panel's values).
class CColorStatic : public QLabel {
    Q_OBJECT
  public:
    explicit CColorStatic(const QString& text = {}, QWidget* parent = nullptr);

    void setColours(const QColor& background, const QColor& text = Qt::black);
    QColor background() const;
};
