// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

// "Opis zachowania sterownika LPG": what each gasoline injection type makes the
// controller do, and why the type is changed only with care.
class CInjSeqTypeDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CInjSeqTypeDlg(QWidget* parent = nullptr);
};
