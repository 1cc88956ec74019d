// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_fixture.h"

#include <chrono>

#include <QSettings>

#include "app/device_doc.h"
#include "app_fixture.h"
#include "temp_dir.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

ProgramFixture::ProgramFixture() {
    qputenv("VAPRON_HOME", QString::fromStdString(home_.root()).toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(home_.root()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(home_.root()));
    CMessageBox::setShower(
        [this](QWidget*, const QString& text, CMessageBox::Icon, CMessageBox::Buttons) {
            boxes.push_back(text);
            if (onBox)
                onBox(text);
            return CMessageBox::Answer::Ok;
        });
    CDialogRunner::setRunner([this](QDialog& dialog) {
        dialogClasses.push_back(dialog.metaObject()->className());
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    });
    CFileDial::setChooser(
        [](CFileDial::Mode, const QString&, const QString&, const QString&) { return QString(); });

    char name[] = "vapron";
    char simulate[] = "--simulate";
    char* argv[] = {name, simulate};
    CVapron::Options options = CVapron::parseArguments(2, argv);
    options.inProcess = true;
    options.legacyFolders.emplace();  // whatever this machine's Wine holds is not asked about
    CVapron::prepareApplication();
    program_ = std::make_unique<CVapron>(options);
    program_->start();
    program_->document()->setWorkModePause(std::chrono::milliseconds(0));
    waitUntil([this] { return program_->opened(); });
}

ProgramFixture::~ProgramFixture() {
    program_.reset();
    CMessageBox::setShower({});
    CDialogRunner::setRunner({});
    CFileDial::setChooser({});
}
