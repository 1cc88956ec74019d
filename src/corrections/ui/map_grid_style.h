// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The window's style with one change: a table's grid in the given colour.
class CMapGridStyle : public QProxyStyle {
  public:
    explicit CMapGridStyle(QRgb grid) : grid_(grid) {}

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override {
        if (hint == SH_Table_GridLineColor) {
            return static_cast<int>(grid_);
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

  private:
    QRgb grid_;
};
