// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/percent_edit.h"

#include <QRegularExpressionValidator>

#include "corrections/inj_map_cells.h"

CPercentEdit::CPercentEdit(QWidget* parent) : QLineEdit(parent) {
    // A percentage with a decimal point or comma; the map keeps whole percent from
    // −100 to 150, to which the text is brought when the edit ends.
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(R"(-?\d{0,3}([.,]\d*)?%?)"), this));
    setAlignment(Qt::AlignCenter);
    setFrame(false);
    setToolTip("Poprawka w procentach, od -100 do 150; ułamek zaokrągla się do całości");
}

void CPercentEdit::beginEdit(const QString& cellText) {
    setText(cellText);
    selectAll();
}

QString CPercentEdit::withPercent(const QString& text) {
    QString number = text;
    number.remove('%');
    number.replace(',', '.');
    bool isNumber = false;
    const double value = number.toDouble(&isNumber);
    if (!isNumber) {
        return QString();  // nothing, or a lone sign: no correction
    }
    return QString::asprintf("%d%%", injmap::proposalPercent(value));
}
