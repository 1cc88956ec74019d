// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/percent_edit_delegate.h"

#include <QPainter>

#include "corrections/ui/percent_edit.h"

QWidget* CPercentEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                            const QModelIndex&) const {
    return new CPercentEdit(parent);
}

void CPercentEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    static_cast<CPercentEdit*>(editor)->beginEdit(index.data(Qt::DisplayRole).toString());
}

void CPercentEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                        const QModelIndex& index) const {
    model->setData(index, static_cast<CPercentEdit*>(editor)->endEdit(), Qt::DisplayRole);
}

void CPercentEditDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

void CPercentEditDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
    if (option.state & QStyle::State_Selected) {
        painter->fillRect(option.rect, option.palette.highlight());
    }
}
