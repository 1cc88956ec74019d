// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include "app/vapron_app.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

// The window program in a benchmark: drawn off screen unless a display is asked for,
// with a home folder of its own that goes with the object.
class CUiBenchHome {
  public:
    CUiBenchHome() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qputenv("VAPRON_HOME", home_.path().toUtf8());
    }
    QString file(const QString& name) const { return home_.filePath(name); }

    // Every box answered Yes (Ok), every dialog closed, every file dialog given `file`;
    // after the QApplication exists.
    static void answerEverything(const QString& file) {
        CMessageBox::setShower([](QWidget*, const QString&, CMessageBox::Icon,
                                  CMessageBox::Buttons) { return CMessageBox::Answer::Yes; });
        CDialogRunner::setRunner([](QDialog&) { return int(QDialog::Rejected); });
        CFileDial::setChooser([file](CFileDial::Mode, const QString&, const QString&,
                                     const QString&) { return file; });
    }

    // The program on its simulated controller, as `--simulate` starts it.
    static CVapron::Options simulated() {
        CVapron::Options options;
        options.simulate = true;
        options.legacyFolders = std::vector<std::string>{};
        return options;
    }

  private:
    QTemporaryDir home_;
};
