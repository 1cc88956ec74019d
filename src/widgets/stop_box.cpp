// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stop_box.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A dialog still being built is not shown yet: the box goes over what is.
QWidget* shownAncestor(QWidget* widget) {
    while (widget && !widget->isVisible()) {
        widget = widget->parentWidget();
    }
    return widget;
}

}  // namespace

CStopBox::CStopBox(QWidget* parent, const QString& text, std::atomic<bool>& going)
    : QDialog(shownAncestor(parent)), going_(going) {
    setObjectName("stoppableOperation");
    setWindowTitle("Vapron");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(text, this);
    text_->setObjectName("text");
    layout->addWidget(text_);
    stop_ = new QPushButton("Przerwij", this);
    stop_->setObjectName("stop");
    layout->addWidget(stop_, 0, Qt::AlignRight);
    connect(stop_, &QPushButton::clicked, this, &CStopBox::reject);
}

void CStopBox::reject() {
    going_ = false;
    stop_->setEnabled(false);
    text_->setText("Przerywanie...");
}
