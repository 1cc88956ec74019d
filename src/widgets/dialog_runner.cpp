#include "widgets/dialog_runner.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>

namespace {

CDialogRunner::Runner& runner() {
    static CDialogRunner::Runner instance;
    return instance;
}

CFileDial::Chooser& chooser() {
    static CFileDial::Chooser instance;
    return instance;
}

}  // namespace

int CDialogRunner::exec(QDialog& dialog) {
    return runner() ? runner()(dialog) : dialog.exec();
}

void CDialogRunner::setRunner(Runner r) {
    runner() = std::move(r);
}

QString CFileDial::choose(QWidget* owner, Mode mode, const QString& folder, const QString& filter,
                          const QString& defaultSuffix) {
    if (chooser()) {
        return chooser()(mode, folder, filter, defaultSuffix);
    }
    QFileDialog dialog(owner, QString(), folder, filter);
    dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == Mode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

void CFileDial::setChooser(Chooser c) {
    chooser() = std::move(c);
}

QString CFileDial::folderOf(const QString& path) {
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}
