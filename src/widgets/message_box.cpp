#include "widgets/message_box.h"

#include <QMessageBox>

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
                            CMessageBox::Buttons buttons) {
    QMessageBox box(qtIcon(icon), CMessageBox::kCaption, text, QMessageBox::NoButton, owner);
    switch (buttons) {
        case CMessageBox::Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case CMessageBox::Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setButtonText(QMessageBox::Yes, "Tak");
            box.setButtonText(QMessageBox::No, "Nie");
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
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

}  // namespace

CMessageBox::Answer CMessageBox::show(QWidget* owner, const QString& text, Icon icon,
                                      Buttons buttons) {
    if (bracket())
        bracket()(true);
    const Answer answer =
        shower() ? shower()(owner, text, icon, buttons) : realBox(owner, text, icon, buttons);
    if (bracket())
        bracket()(false);
    return answer;
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
