// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/dialog_runner.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>

#include "widgets/polish_file_model.h"

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
    prepare(dialog, mode, defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

QString CFileDial::choose(QWidget* owner, Mode mode, const QString& folder,
                          const QStringList& filters, QString& chosen,
                          const QString& defaultSuffix) {
    if (chooser()) {
        return chooser()(mode, folder, filters.join(";;"), defaultSuffix);
    }
    QFileDialog dialog(owner, QString(), folder);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(chosen);
    prepare(dialog, mode, defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    chosen = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

void CFileDial::prepare(QFileDialog& dialog, Mode mode, const QString& defaultSuffix) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == Mode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setProxyModel(new CPolishFileModel(&dialog));
    dialog.resize(860, 520);
    // Size, type and date as wide as they need; the name takes the rest.
    if (auto* view = dialog.findChild<QTreeView*>("treeView")) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
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
