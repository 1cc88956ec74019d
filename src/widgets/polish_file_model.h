// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIdentityProxyModel>

// The sizes and dates of a file dialog's list in Polish whatever the system's language
// ("638,99 KiB", "7.12.2026 11:08"): Qt's file model writes them in the system's.
class CPolishFileModel : public QIdentityProxyModel {
    Q_OBJECT
  public:
    enum Column { COL_NAME, COL_SIZE, COL_TYPE, COL_DATE };

    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;
};
