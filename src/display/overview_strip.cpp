// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/overview_strip.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

#include "diag/diag_data.h"

namespace {
const QColor kProfile(120, 120, 120);
const QColor kWindow(0, 80, 220, 60);
const QColor kWindowEdge(0, 80, 220);
}  // namespace

COverviewStrip::COverviewStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("overview");
    setFixedHeight(kHeight);
    setCursor(Qt::PointingHandCursor);
    setToolTip("Całe nagranie (obroty silnika): kliknij albo przeciągnij, aby przesunąć wykres");
}

void COverviewStrip::readProfile(const CDiagData& store) {
    const std::size_t samples = store.getSize();
    const int width = std::max(1, this->width());
    // A live run grows a little at a time: read again once it grew by a hundredth.
    const bool sameWidth = static_cast<int>(columns_.size()) == width;
    if (sameWidth && samples >= samples_ && samples - samples_ <= samples_ / 100) {
        return;
    }
    samples_ = samples;
    columns_.assign(static_cast<std::size_t>(width), {0.0f, 0.0f});
    top_ = 1;
    const CControllerClock clock = store.clock();
    std::vector<app_msg_t> part;
    for (int x = 0; x < width && samples > 0; ++x) {
        const auto from = static_cast<int>(samples * x / width);
        const auto to = std::max(from + 1, static_cast<int>(samples * (x + 1) / width));
        part.clear();
        store.getRange(part, from, to);
        float low = 0, high = 0;
        for (std::size_t i = 0; i < part.size(); ++i) {
            const auto rpm = static_cast<float>(part[i].rpm(clock));
            low = i == 0 ? rpm : std::min(low, rpm);
            high = i == 0 ? rpm : std::max(high, rpm);
        }
        columns_[static_cast<std::size_t>(x)] = {low, high};
        top_ = std::max(top_, high);
    }
    update();
}

void COverviewStrip::showWindow(double start, double end) {
    if (start != start_ || end != end_) {
        start_ = start;
        end_ = end;
        update();
    }
}

int COverviewStrip::xOf(double sample) const {
    return samples_ == 0 ? 0 : static_cast<int>(sample * width() / samples_);
}

double COverviewStrip::sampleAt(int x) const {
    return width() <= 0 ? 0 : static_cast<double>(x) * samples_ / width();
}

void COverviewStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(245, 245, 245));
    p.setPen(kProfile);
    const int h = height() - 2;
    for (std::size_t x = 0; x < columns_.size(); ++x) {
        const int y1 = h - static_cast<int>(columns_[x].second / top_ * (h - 1));
        const int y2 = h - static_cast<int>(columns_[x].first / top_ * (h - 1));
        p.drawLine(static_cast<int>(x), y1, static_cast<int>(x), y2);
    }
    const QRect window(QPoint(xOf(start_), 0),
                       QPoint(std::max(xOf(start_) + 2, xOf(end_)), height() - 1));
    p.fillRect(window, kWindow);
    p.setPen(kWindowEdge);
    p.drawRect(window.adjusted(0, 0, -1, 0));
}

void COverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit centreRequested(sampleAt(event->position().toPoint().x()));
    }
}

void COverviewStrip::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        emit centreRequested(sampleAt(event->position().toPoint().x()));
    }
}
