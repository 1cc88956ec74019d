// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/chart_setup_dlg.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/message_box.h"
#include "widgets/number_text.h"

namespace {

std::size_t slot(CChartSetupDlg::Field which) {
    return static_cast<std::size_t>(which);
}

// The member of the record that each field shows, in Field order.
constexpr std::array<double chart_setup_t::*, 8> kMembers{
    &chart_setup_t::width, &chart_setup_t::height, &chart_setup_t::xFrom, &chart_setup_t::xTo,
    &chart_setup_t::yFrom, &chart_setup_t::yTo,    &chart_setup_t::xGrid, &chart_setup_t::yGrid,
};

// How a refusal names each field: its box and its label.
const std::array<QString, 8> kFieldNames{
    QStringLiteral("Wymiary (piksele): x"),
    QStringLiteral("Wymiary (piksele): y"),
    QStringLiteral("Zakres dla osi x: od"),
    QStringLiteral("Zakres dla osi x: do"),
    QStringLiteral("Zakres dla osi y: od"),
    QStringLiteral("Zakres dla osi y: do"),
    QStringLiteral("Siatka: x"),
    QStringLiteral("Siatka: y"),
};

constexpr std::array kAllFields{
    CChartSetupDlg::Field::Width, CChartSetupDlg::Field::Height, CChartSetupDlg::Field::XFrom,
    CChartSetupDlg::Field::XTo,   CChartSetupDlg::Field::YFrom,  CChartSetupDlg::Field::YTo,
    CChartSetupDlg::Field::XGrid, CChartSetupDlg::Field::YGrid,
};

// A pair of fields in a titled box: "first" [ ] "second" [ ].
QGroupBox* pairBox(const QString& title, const QString& first, QLineEdit* a, const QString& second,
                   QLineEdit* b) {
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(first), 0, 0);
    grid->addWidget(a, 0, 1);
    grid->addWidget(new QLabel(second), 0, 2);
    grid->addWidget(b, 0, 3);
    return box;
}

}  // namespace

CChartSetupDlg::CChartSetupDlg(const chart_setup_t& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setWindowTitle(QStringLiteral("Ustawienia wykresu..."));
    for (Field which : kAllFields) {
        makeField(which, which == Field::Width || which == Field::Height);
    }
    buildLayout();
    writeFields(values_);
}

QLineEdit* CChartSetupDlg::makeField(Field which, bool readOnly) {
    // No validator: it would swallow a decimal comma; OK names a field without a number.
    auto* edit = new QLineEdit(this);
    edit->setReadOnly(readOnly);
    if (!readOnly) {
        edit->installEventFilter(this);
    }
    fields_[slot(which)] = edit;
    return edit;
}

void CChartSetupDlg::buildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pairBox(QStringLiteral("Wymiary (piksele)"), QStringLiteral("x"),
                              field(Field::Width), QStringLiteral("y"), field(Field::Height)));
    layout->addWidget(pairBox(QStringLiteral("Zakres dla osi x"), QStringLiteral("od"),
                              field(Field::XFrom), QStringLiteral("do"), field(Field::XTo)));
    layout->addWidget(pairBox(QStringLiteral("Zakres dla osi y"), QStringLiteral("od"),
                              field(Field::YFrom), QStringLiteral("do"), field(Field::YTo)));
    layout->addWidget(pairBox(QStringLiteral("Siatka"), QStringLiteral("x"), field(Field::XGrid),
                              QStringLiteral("y"), field(Field::YGrid)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CChartSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CChartSetupDlg::reject);
    layout->addWidget(buttons);
}

QLineEdit* CChartSetupDlg::field(Field which) const {
    return fields_[slot(which)];
}

void CChartSetupDlg::correctXTo(chart_setup_t& v) {
    if (v.xTo - v.xFrom > kMaxXSpan) {
        v.xFrom = std::max(v.xTo - kMaxXSpan, 0.0);
    }
    if (v.xTo - v.xFrom < kMinXSpan) {
        v.xFrom = std::max(v.xTo - kMinXSpan, 0.0);
        if (v.xTo - kMinXSpan <= 0.0) {
            v.xTo = kMinXSpan;
        }
    }
    v.xGrid = (v.xTo - v.xFrom) / 10.0;
}

void CChartSetupDlg::correctXFrom(chart_setup_t& v) {
    if (v.xTo - v.xFrom > kMaxXSpan) {
        v.xTo = v.xFrom + kMaxXSpan;
    }
    if (v.xTo - v.xFrom < kMinXSpan) {
        v.xTo = v.xFrom + kMinXSpan;
    }
    v.xGrid = (v.xTo - v.xFrom) / 10.0;
}

void CChartSetupDlg::correctYGrid(chart_setup_t& v) {
    v.yGrid = (v.yTo - v.yFrom) / 10.0;
}

bool CChartSetupDlg::isAcceptable(const chart_setup_t& v) {
    return v.xTo > v.xFrom && v.yTo > v.yFrom;
}

bool CChartSetupDlg::readFields(chart_setup_t& v) const {
    v = values_;
    for (Field which : kAllFields) {
        if (field(which)->isReadOnly()) {
            continue;
        }
        const auto value = CNumberText::toDouble(field(which)->text());
        if (!value) {
            return false;
        }
        v.*kMembers[slot(which)] = *value;
    }
    return true;
}

void CChartSetupDlg::writeFields(const chart_setup_t& v) {
    for (Field which : kAllFields) {
        field(which)->setText(QString::number(v.*kMembers[slot(which)], 'g', 15));
    }
}

// A field that does not hold a number is left for the user to fix; OK refuses it.
template <class Correction>
void CChartSetupDlg::correctFields(Correction correction) {
    chart_setup_t v;
    if (!readFields(v)) {
        return;
    }
    correction(v);
    writeFields(v);
}

void CChartSetupDlg::onKillFocusXTo() {
    correctFields(&CChartSetupDlg::correctXTo);
}

void CChartSetupDlg::onKillFocusXFrom() {
    correctFields(&CChartSetupDlg::correctXFrom);
}

void CChartSetupDlg::onKillFocusY() {
    correctFields(&CChartSetupDlg::correctYGrid);
}

void CChartSetupDlg::accept() {
    for (Field which : kAllFields) {
        if (!field(which)->isReadOnly() &&
            !CNumberText::readDouble(field(which), kFieldNames[slot(which)])) {
            return;
        }
    }
    chart_setup_t v;
    if (!readFields(v) || !isAcceptable(v)) {
        CMessageBox::show(this, QString::fromUtf8(kRefusal));
        return;
    }
    values_ = v;
    QDialog::accept();
}

bool CChartSetupDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == field(Field::XTo)) {
            onKillFocusXTo();
        } else if (watched == field(Field::XFrom)) {
            onKillFocusXFrom();
        } else if (watched == field(Field::YFrom) || watched == field(Field::YTo)) {
            onKillFocusY();
        }
    }
    return QDialog::eventFilter(watched, event);
}
