// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/mnemonics.h"

#include <functional>
#include <set>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {

// A widget whose text can carry a mnemonic, read and written alike.
struct marked_t {
    QString text;
    std::function<void(const QString&)> setText;
};

// Field labels first, so that the fields get letters before anything else when a
// dialog has more texts than the alphabet has letters; then check boxes, buttons, radio
// buttons and group titles.
std::vector<marked_t> markable(QWidget& dialog) {
    std::vector<marked_t> items[5];
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->buddy() != nullptr && label->textFormat() != Qt::RichText &&
                !Qt::mightBeRichText(label->text())) {
                items[0].push_back(
                    {label->text(), [label](const QString& t) { label->setText(t); }});
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            // Its letter takes the focus to the group's first field.
            if (!group->title().isEmpty()) {
                items[4].push_back(
                    {group->title(), [group](const QString& t) { group->setTitle(t); }});
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const int rank = qobject_cast<QCheckBox*>(button)      ? 1
                             : qobject_cast<QRadioButton*>(button) ? 3
                                                                   : 2;
            if (!button->text().isEmpty()) {
                items[rank].push_back(
                    {button->text(), [button](const QString& t) { button->setText(t); }});
            }
        }
    }
    std::vector<marked_t> all;
    for (auto& rank : items) {
        all.insert(all.end(), rank.begin(), rank.end());
    }
    return all;
}

bool isLatin(QChar c) {
    const char16_t u = c.toLower().unicode();
    return u >= 'a' && u <= 'z';
}

// Where the free letter goes: word starts first, then any letter; -1 when none is free.
qsizetype freePosition(const QString& text, const std::set<char>& used) {
    for (int pass = 0; pass < 2; ++pass) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool wordStart = i == 0 || !text[i - 1].isLetterOrNumber();
            if ((pass == 1 || wordStart) && isLatin(text[i]) &&
                used.count(static_cast<char>(text[i].toLower().unicode())) == 0) {
                return i;
            }
        }
    }
    return -1;
}

}  // namespace

char CMnemonics::letterOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&') {
                return isLatin(text[i + 1]) ? static_cast<char>(text[i + 1].toLower().unicode())
                                            : 0;
            }
            ++i;  // "&&" is a plain ampersand
        }
    }
    return 0;
}

void CMnemonics::assign(QWidget& dialog) {
    std::vector<marked_t> items = markable(dialog);
    std::set<char> used;
    for (const marked_t& item : items) {
        if (const char letter = letterOf(item.text)) {
            used.insert(letter);
        }
    }
    for (marked_t& item : items) {
        if (letterOf(item.text) != 0 || item.text.contains('&')) {
            continue;
        }
        const qsizetype at = freePosition(item.text, used);
        if (at >= 0) {
            used.insert(static_cast<char>(item.text[at].toLower().unicode()));
            item.setText(QString(item.text).insert(at, '&'));
        }
    }
}
