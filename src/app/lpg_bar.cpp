// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lpg_bar.h"

#include "widgets/color_static.h"
#include "widgets/elided_label.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kGrey(125, 125, 125);

}  // namespace

CLPGBar::CLPGBar(QWidget* parent) : QWidget(parent) {
    text_ = new CElidedLabel(this);
    text_->setObjectName("text");
    // A long message must not widen the window past the screen: it is cut, and the
    // whole text stays in the tooltip. The bar as a whole fits an 800-pixel window.
    text_->setMinimumWidth(kTextMinWidth);
    clear_ = new QTimer(this);
    clear_->setSingleShot(true);
    clear_->setInterval(kTextShownMs);
    connect(clear_, &QTimer::timeout, this, [this] { setText({}); });
    connection_ = new CColorStatic({}, this);
    connection_->setObjectName("connection");
    connection_->setAlignment(Qt::AlignCenter);
    connection_->setMinimumWidth(150);
    error_ = new CColorStatic({}, this);
    error_->setObjectName("error");
    error_->setAlignment(Qt::AlignCenter);
    error_->setMinimumWidth(60);
    error_->installEventFilter(this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(200);
    progress_->setMinimumWidth(kProgressMinWidth);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(text_, 1);
    layout->addWidget(connection_);
    layout->addWidget(error_);
    layout->addWidget(progress_);
    layout->addSpacing(12);
    layout->addWidget(new QLabel("Praca wtryskiwaczy", this));
    for (int i = 0; i < kLamps; ++i) {
        lamps_[i] = new CColorStatic(QString::number(i + 1), this);
        lamps_[i]->setAlignment(Qt::AlignCenter);
        lamps_[i]->setFixedSize(22, 18);
        lamps_[i]->setColours(kGrey);
        countdown_[i] = kLampCountdown;
        layout->addWidget(lamps_[i]);
    }
    showConnected(false);
    showControllerError(false);
}

void CLPGBar::showConnected(bool connected, bool simulated) {
    if (connected) {
        connection_->setText(simulated ? "Połączony (symulator)" : "Połączony");
        connection_->setColours(kGreen);
    } else {
        connection_->setText("Brak połączenia");
        connection_->setColours(kRed);
    }
}

void CLPGBar::showControllerError(bool on) {
    error_->setText(on ? "Błąd" : "");
    error_->setColours(on ? kRed : kGrey);
    error_->setToolTip(on ? "Kliknij, aby zobaczyć błędy zapisane w sterowniku." : QString());
    error_->setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CLPGBar::setProgress(int percent) {
    progress_->setValue(percent);
}

void CLPGBar::showInjectors(std::uint8_t mask) {
    for (int i = 0; i < kLamps; ++i) {
        if (mask & (1u << i)) {
            lamps_[i]->setColours(kGreen);
        } else if (--countdown_[i] == 0) {
            lamps_[i]->setColours(kGrey);
            countdown_[i] = kLampCountdown;
        }
    }
}

void CLPGBar::lampsOff() {
    for (int i = 0; i < kLamps; ++i) {
        lamps_[i]->setColours(kGrey);
        countdown_[i] = kLampCountdown;
    }
}

void CLPGBar::setText(const QString& text) {
    message_ = text;
    text_->setFullText(text.isEmpty() ? car_ : text);
    if (text.isEmpty()) {
        clear_->stop();
    } else {
        clear_->start();
    }
}

void CLPGBar::setTextShownMs(int ms) {
    clear_->setInterval(ms);
}

QString CLPGBar::connectionText() const {
    return connection_->text();
}
QColor CLPGBar::connectionColour() const {
    return connection_->background();
}
QString CLPGBar::errorText() const {
    return error_->text();
}
QColor CLPGBar::errorColour() const {
    return error_->background();
}
int CLPGBar::progress() const {
    return progress_->value();
}
QColor CLPGBar::lampColour(int lamp) const {
    return lamps_.at(lamp)->background();
}
QString CLPGBar::shownText() const {
    return text_->text();
}

bool CLPGBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == error_ && event->type() == QEvent::MouseButtonRelease &&
        !error_->text().isEmpty()) {
        emit errorClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CLPGBar::showCar(const QString& text) {
    car_ = text;
    if (message_.isEmpty()) {
        text_->setFullText(car_);
    }
}
