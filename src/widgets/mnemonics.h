// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QWidget;

// Gives the field labels (labels with a buddy), check boxes, buttons, radio buttons and
// group titles of a dialog an Alt+letter each, as the menus have, in that order while
// letters last: the first free letter that starts a word of its text, else any free
// letter of it. Letters already marked ("&OK") are kept and taken. Latin letters only,
// so every keyboard layout reaches them.
class CMnemonics {
  public:
    static void assign(QWidget& dialog);
    // The marked letter of `text` ("&Marka" gives 'm'), 0 for none.
    static char letterOf(const QString& text);
};
