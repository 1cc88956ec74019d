// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

#include "link/i_device_ui.h"
#include "support/error_guard.h"

class QMessageBox;
class QWidget;

// The program's one way to show a modal box: caption "Vapron", and while diagnostics
// run the chart view hardly redraws (slow refresh) until the box is closed. Tests
// replace the box with a function that answers it without a screen.
class CMessageBox {
  public:
    using Icon = IDeviceUi::Icon;
    using Buttons = IDeviceUi::Buttons;
    using Answer = IDeviceUi::Answer;
    using Shower = std::function<Answer(QWidget* owner, const QString& text, Icon, Buttons)>;
    using Bracket = std::function<void(bool slow)>;

    // `labels` name the buttons in place of the stock texts, in the order of `buttons`
    // ("Wpisz i zamknij", "Zamknij bez wpisywania", "Anuluj" for YesNoCancel).
    static Answer show(QWidget* owner, const QString& text, Icon icon = Icon::None,
                       Buttons buttons = Buttons::Ok, const QStringList& labels = {});
    // Edits not yet in the controller, on closing: "Wpisz i zamknij" answers Yes,
    // "Zamknij bez wpisywania" No, and `back` (the way back to the edits) Cancel.
    static Answer askToWriteFirst(QWidget* owner, const QString& text, const QString& back);
    static constexpr const char* kWriteAndClose = "Wpisz i zamknij";
    static constexpr const char* kCloseUnwritten = "Zamknij bez wpisywania";
    static constexpr const char* kBackToEditing = "Wróć do edycji";
    // Shows "handler\nerror text" from a guarded handler.
    static void showError(QWidget* owner, const QString& text);

    // Replaces the real box (tests); an empty function restores it.
    static void setShower(Shower shower);
    // Called with true before and false after every box (the display refresh bracket).
    static void setBracket(Bracket bracket);

    static constexpr const char* kCaption = "Vapron";
    // Wide enough for the caption and the title bar's buttons.
    static constexpr int kMinWidth = 320;

    // The box as show() opens it when no test has replaced it.
    static std::unique_ptr<QMessageBox> create(QWidget* owner, const QString& text, Icon icon,
                                               Buttons buttons, const QStringList& labels = {});
};

// Runs a user-interface handler inside the error guard: an error raised by the
// controller link is shown as "handler name\nerror text", anything else as "handler
// name\n" and what the exception says (see guarded()). Returns false when the body did
// not complete.
template <class F>
bool runGuarded(QWidget* owner, const char* handler, F&& body) {
    if (auto text = guarded(handler, std::forward<F>(body))) {
        CMessageBox::show(owner, QString::fromStdString(*text), CMessageBox::Icon::Error);
        return false;
    }
    return true;
}
