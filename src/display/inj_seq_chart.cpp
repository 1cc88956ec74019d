#include "display/inj_seq_chart.h"

CInjSeqChart::CInjSeqChart(QWidget* owner)
    : CXYChart(owner, QString(), {0.0, 150.0, 15.0}, {0.0, 15.5, 2.0}, {60, 5, 15, 55}) {}

QString CInjSeqChart::formatX(double value) const {
    return QString::asprintf("%.0f", value);
}

QString CInjSeqChart::formatY(double value) const {
    return QString::asprintf("INJ_%.0f->", value * 0.5 + 1.0);
}
