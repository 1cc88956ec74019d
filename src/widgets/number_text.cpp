// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/number_text.h"

#include <cmath>
#include <limits>

#include <QLineEdit>
#include <QLocale>

#include "widgets/message_box.h"

namespace {

// Sign, digits, and with `decimal` one separator; at least one digit.
bool plainNumber(const QString& text, bool decimal) {
    int digits = 0;
    bool separator = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
        } else if ((c == '+' || c == '-') && i == 0) {
            continue;
        } else if ((c == '.' || c == ',') && decimal && !separator) {
            separator = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

}  // namespace

std::optional<double> CNumberText::toDouble(const QString& text) {
    QString plain = text.trimmed();
    if (!plainNumber(plain, true)) {
        return std::nullopt;
    }
    plain.replace(',', '.');
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> CNumberText::toInt(const QString& text) {
    const QString plain = text.trimmed();
    if (!plainNumber(plain, false)) {
        return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = QLocale::c().toLongLong(plain, &ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

QString CNumberText::typedLine(const QString& typed) {
    if (typed.trimmed().isEmpty()) {
        return QStringLiteral("Pole jest puste.");
    }
    return QStringLiteral("Wpisano: „%1”").arg(typed);
}

QString CNumberText::refusal(const QString& field, const QString& typed) {
    return QStringLiteral("Wpisz liczbę w polu „%1”.\n").arg(field) + typedLine(typed);
}

QString CNumberText::intRefusal(const QString& field, const QString& typed, int min, int max) {
    return QStringLiteral("Wpisz liczbę całkowitą od %1 do %2 w polu „%3”.\n")
               .arg(min)
               .arg(max)
               .arg(field) +
           typedLine(typed);
}

void CNumberText::refuse(QLineEdit* edit, const QString& text) {
    CMessageBox::show(edit->window(), text, CMessageBox::Icon::Error);
    edit->setFocus();
    edit->selectAll();
}

std::optional<double> CNumberText::readDouble(QLineEdit* edit, const QString& field) {
    const auto value = toDouble(edit->text());
    if (!value) {
        refuse(edit, refusal(field, edit->text()));
    }
    return value;
}

std::optional<int> CNumberText::readInt(QLineEdit* edit, const QString& field, int min, int max) {
    const auto value = toInt(edit->text());
    if (!value || *value < min || *value > max) {
        refuse(edit, intRefusal(field, edit->text(), min, max));
        return std::nullopt;
    }
    return value;
}
