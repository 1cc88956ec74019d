// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/inj_seq_type_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* paragraph(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

CInjSeqTypeDlg::CInjSeqTypeDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Opis zachowania sterownika LPG");
    auto* layout = new QVBoxLayout(this);
    const QString types[][2] = {
        {"Pełna sekwencja",
         "- sterownik czyta sygnały wszystkich wtryskiwaczy benzynowych 1,2,3,4 i steruje w "
         "ich takt odpowiednimi wtryskiwaczami gazowymi 1,2,3,4"},
        {"Niesekwencja",
         "- sterownik czyta sygnał wtryskiwacza benzynowego 1 i steruje w jego takt "
         "wtryskiwaczami gazowymi 1,2,3,4"},
        {"Półsekwencja",
         "- sterownik czyta sygnał wtryskiwaczy benzynowych 1 i 2 i steruje w ich takt "
         "wtryskiwaczami gazowymi odpowiednio: dla 1 -> 1, 3,  dla 2 -> 2, 4"},
    };
    for (const auto& type : types) {
        layout->addWidget(heading(type[0], this));
        layout->addWidget(paragraph(type[1], this));
    }
    layout->addSpacing(8);
    layout->addWidget(heading("UWAGI", this));
    for (const char* note :
         {"Zmiana tego ustawienia powinna nastąpić jedynie wtedy gdy mamy pewność jaki jest typ "
          "sterownika benzynowego.",
          " Błędne ustawienie zachowania sterownika LPG (np. ustawnienie niesekwencji dla "
          "silnika z pełną sekwencją może powodować problemy z poprawnym ustawieniem "
          "sterownika.",
          "Wpisanie do sterownika zmiany tego ustawienia powoduje restart sterownika "
          "(przełączenie na benzynę)."}) {
        layout->addWidget(paragraph(note, this));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(520);
}
