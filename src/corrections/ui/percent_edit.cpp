#include "corrections/ui/percent_edit.h"

#include <QRegularExpressionValidator>

CPercentEdit::CPercentEdit(QWidget* parent) : QLineEdit(parent) {
    // The map takes −100 … 150 %; a wider number is limited when the map is written.
    setValidator(new QRegularExpressionValidator(QRegularExpression(R"(-?\d{0,3}%?)"), this));
    setAlignment(Qt::AlignCenter);
    setFrame(false);
}

void CPercentEdit::beginEdit(const QString& cellText) {
    setText(cellText);
    selectAll();
}

QString CPercentEdit::withPercent(const QString& text) {
    if (text.isEmpty() || text.endsWith('%')) {
        return text;
    }
    return text + '%';
}
