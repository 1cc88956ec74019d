// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

class QLineEdit;

// Numbers typed by the user. A workshop keyboard gives "1,5" as often as "1.5", so either
// separator is a decimal point; anything else that is not a plain number (empty, letters,
// two separators, an exponent) is refused with a box that names the field and repeats
// what was typed, and the field keeps its text for the user to correct.
class CNumberText {
  public:
    // Optional sign, digits, at most one decimal comma or point; spaces around are ignored.
    static std::optional<double> toDouble(const QString& text);
    // Optional sign and digits only.
    static std::optional<int> toInt(const QString& text);

    // The edit's number, or nothing after the refusal box (the edit then has the focus).
    static std::optional<double> readDouble(QLineEdit* edit, const QString& field);
    static std::optional<int> readInt(QLineEdit* edit, const QString& field, int min, int max);

    // "Wpisz liczbę w polu „field”." and the typed text on the second line.
    static QString refusal(const QString& field, const QString& typed);
    static QString intRefusal(const QString& field, const QString& typed, int min, int max);
    // The second line of a refusal: what was typed.
    static QString typedLine(const QString& typed);

  private:
    static void refuse(QLineEdit* edit, const QString& text);
};
