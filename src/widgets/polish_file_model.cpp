// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/polish_file_model.h"

#include <QFileSystemModel>
#include <QLocale>

QVariant CPolishFileModel::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    const int column = index.column();
    if (role != Qt::DisplayRole || files == nullptr || (column != COL_SIZE && column != COL_DATE)) {
        return QIdentityProxyModel::data(index, role);
    }
    const QModelIndex source = mapToSource(index);
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    if (column == COL_DATE) {
        return polish.toString(files->lastModified(source), QLocale::ShortFormat);
    }
    // A folder has no size to show.
    if (files->isDir(source)) {
        return QIdentityProxyModel::data(index, role);
    }
    return polish.formattedDataSize(files->size(source));
}
