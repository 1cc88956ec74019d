// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/inj_map_dlg.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

CInjMapDlg::CInjMapDlg(QWidget* parent, const std::vector<app_msg_t>& samples,
                       const CControllerClock& clock)
    : QDialog(parent), chart_(this) {
    setWindowTitle("Mapa wtrysków");
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    close_ = new QPushButton("Zamknij", this);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(buttons);
    chart_.setData(samples, clock);
    resize(kWidth, kHeight);
}

QRect CInjMapDlg::chartRect() const {
    return QRect(0, 0, width(), std::max(0, close_->geometry().top() - layout()->spacing()));
}

void CInjMapDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layout()->activate();  // the button's place decides the chart's
    chart_.setSize(chartRect().size());
}

void CInjMapDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setClipRect(chartRect());
    chart_.draw(painter);
}
