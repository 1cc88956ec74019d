#include "autosetup/ui/average_error_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/number_text.h"

CAverageErrorDlg::CAverageErrorDlg(QWidget* parent, double tolerancePercent)
    : QDialog(parent), tolerance_(tolerancePercent) {
    setWindowTitle("Tolerancja autoustawiania");
    edit_ = new QLineEdit(QLocale::c().toString(tolerancePercent, 'g', 6), this);
    edit_->setObjectName(QString("edit%1").arg(kEditId));
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAverageErrorDlg::onOk);

    auto* row = new QHBoxLayout;
    row->addWidget(edit_, 1);
    row->addWidget(new QLabel("%", this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void CAverageErrorDlg::onOk() {
    if (const auto typed = CNumberText::readDouble(edit_, "Tolerancja")) {
        tolerance_ = *typed;
        accept();
    }
}
