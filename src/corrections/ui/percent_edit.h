#pragma once

#include <QLineEdit>

// The in-cell editor of one speed column of the map: a whole percentage with an
// optional minus sign. Editing starts from the cell's text and the percent sign is added
// when the edit ends, so typing "12" gives "12%".
class CPercentEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CPercentEdit(QWidget* parent = nullptr);

    // Replaces the whole content by the cell's text.
    void beginEdit(const QString& cellText);
    // The text for the cell.
    QString endEdit() const { return withPercent(text()); }

    // Appends a percent sign to a text that is not empty and does not end with one.
    static QString withPercent(const QString& text);
};
