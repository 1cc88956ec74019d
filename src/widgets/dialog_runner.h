// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QWidget;

class QDialog;
class QFileDialog;

// Every modal dialog of the program is run through here, so tests can fill and answer
// dialogs without a screen.
class CDialogRunner {
  public:
    using Runner = std::function<int(QDialog& dialog)>;

    // QDialog::Accepted or QDialog::Rejected.
    static int exec(QDialog& dialog);
    static void setRunner(Runner runner);
};

// The file dialogs: a start folder, one filter and a default extension. Returns the
// chosen full path, or an empty text when cancelled.
class CFileDial {
  public:
    enum class Mode { Open, Save };
    using Chooser = std::function<QString(Mode mode, const QString& folder, const QString& filter,
                                          const QString& defaultSuffix)>;

    static QString choose(QWidget* owner, Mode mode, const QString& folder, const QString& filter,
                          const QString& defaultSuffix);
    // The same with a choice of filters: `chosen` names the one offered first and returns
    // the one taken. A test's chooser gets the filters joined by ";;" and leaves `chosen`.
    static QString choose(QWidget* owner, Mode mode, const QString& folder,
                          const QStringList& filters, QString& chosen,
                          const QString& defaultSuffix);
    // Qt's own dialog rather than the desktop's, so it speaks Polish whatever the
    // desktop's language; a list with whole sizes and dates.
    static void prepare(QFileDialog& dialog, Mode mode, const QString& defaultSuffix);
    static void setChooser(Chooser chooser);
    // The folder of a chosen path, with a trailing '/'.
    static QString folderOf(const QString& path);
};
