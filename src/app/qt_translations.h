// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Qt's own texts in Polish: the buttons of message boxes and dialogs ("Anuluj"), the
// file, print and print-preview dialogs, with Polish dates and sizes in the file lists.
// They come from the distribution's translations of Qt (qt6-translations-l10n).
class CQtTranslations {
  public:
    // Installs the translation on the running application once; false, with what to do
    // and the detail in `problem`, when it cannot be loaded.
    static bool install(QString* problem = nullptr);
    // Where Qt keeps its translations.
    static QString folder();
};
