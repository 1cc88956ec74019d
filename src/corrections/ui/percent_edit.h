// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

// The in-cell editor of one speed column of the map: a percentage with an optional
// minus sign and a decimal point or comma. Editing starts from the cell's text; when the
// edit ends the number is rounded as the map's values are (halves away from zero),
// limited to −100 … 150 % and given its percent sign, so "12" gives "12%" and "12,5"
// gives "13%"; a text without a number (a lone "-") leaves the cell empty.
class CPercentEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CPercentEdit(QWidget* parent = nullptr);

    // Replaces the whole content by the cell's text.
    void beginEdit(const QString& cellText);
    // The text for the cell.
    QString endEdit() const { return withPercent(text()); }

    // The cell text of what was typed.
    static QString withPercent(const QString& text);
};
