// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/message_box.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

CMessageBox::Shower& shower() {
    static CMessageBox::Shower instance;
    return instance;
}

CMessageBox::Bracket& bracket() {
    static CMessageBox::Bracket instance;
    return instance;
}

QMessageBox::Icon qtIcon(CMessageBox::Icon icon) {
    switch (icon) {
        case CMessageBox::Icon::Information:
            return QMessageBox::Information;
        case CMessageBox::Icon::Warning:
            return QMessageBox::Warning;
        case CMessageBox::Icon::Error:
            return QMessageBox::Critical;
        case CMessageBox::Icon::Question:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

CMessageBox::Answer realBox(QWidget* owner, const QString& text, CMessageBox::Icon icon,
                            CMessageBox::Buttons buttons, const QStringList& labels) {
    const std::unique_ptr<QMessageBox> box =
        CMessageBox::create(owner, text, icon, buttons, labels);
    switch (box->exec()) {
        case QMessageBox::Cancel:
            return CMessageBox::Answer::Cancel;
        case QMessageBox::Yes:
            return CMessageBox::Answer::Yes;
        case QMessageBox::No:
            return CMessageBox::Answer::No;
        default:
            return CMessageBox::Answer::Ok;
    }
}

// The box's buttons in the order the caller names them.
QList<QMessageBox::StandardButton> order(CMessageBox::Buttons buttons) {
    switch (buttons) {
        case CMessageBox::Buttons::OkCancel:
            return {QMessageBox::Ok, QMessageBox::Cancel};
        case CMessageBox::Buttons::YesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case CMessageBox::Buttons::YesNoCancel:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        default:
            return {QMessageBox::Ok};
    }
}

void nameButtons(QMessageBox& box, CMessageBox::Buttons buttons, const QStringList& labels) {
    const QList<QMessageBox::StandardButton> which = order(buttons);
    for (qsizetype i = 0; i < labels.size() && i < which.size(); ++i) {
        box.button(which[i])->setText(labels[i]);
    }
}

}  // namespace

CMessageBox::Answer CMessageBox::show(QWidget* owner, const QString& text, Icon icon,
                                      Buttons buttons, const QStringList& labels) {
    if (bracket())
        bracket()(true);
    const Answer answer = shower() ? shower()(owner, text, icon, buttons)
                                   : realBox(owner, text, icon, buttons, labels);
    if (bracket())
        bracket()(false);
    return answer;
}

CMessageBox::Answer CMessageBox::askToWriteFirst(QWidget* owner, const QString& text,
                                                 const QString& back) {
    return show(owner, text, Icon::Question, Buttons::YesNoCancel,
                {kWriteAndClose, kCloseUnwritten, back});
}

void CMessageBox::showError(QWidget* owner, const QString& text) {
    show(owner, text, Icon::Error);
}

void CMessageBox::setShower(Shower s) {
    shower() = std::move(s);
}

void CMessageBox::setBracket(Bracket b) {
    bracket() = std::move(b);
}

// A short text would give a box narrower than its title bar, which then cuts the
// caption: a spacer across the box's grid keeps it at least kMinWidth wide.
std::unique_ptr<QMessageBox> CMessageBox::create(QWidget* owner, const QString& text, Icon icon,
                                                 Buttons buttons, const QStringList& labels) {
    auto box =
        std::make_unique<QMessageBox>(qtIcon(icon), kCaption, text, QMessageBox::NoButton, owner);
    switch (buttons) {
        case Buttons::OkCancel:
            box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box->button(QMessageBox::Yes)->setText("Tak");
            box->button(QMessageBox::No)->setText("Nie");
            break;
        case Buttons::YesNoCancel:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box->button(QMessageBox::Yes)->setText("Tak");
            box->button(QMessageBox::No)->setText("Nie");
            box->setEscapeButton(QMessageBox::Cancel);
            break;
        default:
            box->setStandardButtons(QMessageBox::Ok);
            break;
    }
    nameButtons(*box, buttons, labels);
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(kMinWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}
