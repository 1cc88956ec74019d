// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/color_static.h"

CColorStatic::CColorStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(true);
}

void CColorStatic::setColours(const QColor& background, const QColor& text) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    setPalette(colours);
}

QColor CColorStatic::background() const {
    return palette().color(QPalette::Window);
}
