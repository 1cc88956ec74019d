// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/setup_report_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "corrections/setup_report_model.h"
#include "corrections/time_table.h"

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr int kResolution = 300;  // dots per inch of the page's device units
constexpr int kBodyPoints = 9;

}  // namespace

bool CSetupReportWriter::write(const QString& path, QString& error) {
    // QSaveFile writes beside the target and renames it over only when all went well.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kResolution);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle("Raport montażu");
        writer.setCreator("Vapron");
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = "Nie można utworzyć dokumentu PDF.";
            file.cancelWriting();
            return false;
        }
        writer_ = &writer;
        painter_ = &painter;
        paint();
        painter.end();
        writer_ = nullptr;
        painter_ = nullptr;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void CSetupReportWriter::paint() {
    const QRect page = painter_->viewport();
    width_ = page.width();
    height_ = page.height();
    QFont font("DejaVu Sans", kBodyPoints);
    painter_->setFont(font);
    lineHeight_ = painter_->fontMetrics().height();
    y_ = 0;

    QFont title = font;
    title.setPointSize(16);
    title.setBold(true);
    painter_->setFont(title);
    const int titleHeight = painter_->fontMetrics().height();
    painter_->drawText(QRect(0, 0, width_, titleHeight), Qt::AlignLeft, "Raport montażu");
    painter_->setFont(font);
    y_ = titleHeight;
    line("Sporządzono: " + qt(model_.created()));

    heading("Samochód");
    rows(model_.car());
    if (!model_.notes().empty()) {
        line("Uwagi:", true);
        line(qt(model_.notes()));
    }
    heading("Sterownik");
    rows(model_.controller());
    heading("Ustawienia");
    rows(model_.settings());
    heading("Tabela korekcji czasu");
    timeTableChart();
    heading("Kolejność wtryskiwaczy");
    lines(model_.sequence());
    heading("Kody błędów");
    lines(model_.errors());
    if (!model_.autoSetupLog().empty()) {
        heading("Ustawienia automatyczne — dziennik");
        lines(model_.autoSetupLog());
    }
    writer_->newPage();
    y_ = 0;
    heading(model_.proposal() ? "Mapa wtrysków (zbudowana z nagrania; liczby próbek benzyna/LPG)"
                              : "Mapa wtrysków");
    mapGrid();
}

void CSetupReportWriter::need(int height) {
    if (y_ + height > height_) {
        writer_->newPage();
        y_ = 0;
    }
}

void CSetupReportWriter::heading(const QString& text) {
    need(lineHeight_ * 3);
    y_ += lineHeight_ / 2;
    QFont font = painter_->font();
    font.setBold(true);
    font.setPointSize(kBodyPoints + 2);
    painter_->setFont(font);
    const int height = painter_->fontMetrics().height();
    painter_->drawText(QRect(0, y_, width_, height), Qt::AlignLeft, text);
    y_ += height;
    painter_->drawLine(0, y_, width_, y_);
    y_ += lineHeight_ / 4;
    font.setBold(false);
    font.setPointSize(kBodyPoints);
    painter_->setFont(font);
}

void CSetupReportWriter::line(const QString& text, bool bold) {
    QFont font = painter_->font();
    font.setBold(bold);
    painter_->setFont(font);
    const QRect bounds = painter_->boundingRect(QRect(0, 0, width_, height_),
                                                Qt::AlignLeft | Qt::TextWordWrap, text);
    need(bounds.height());
    painter_->drawText(QRect(0, y_, width_, bounds.height()), Qt::AlignLeft | Qt::TextWordWrap,
                       text);
    y_ += bounds.height();
    font.setBold(false);
    painter_->setFont(font);
}

void CSetupReportWriter::rows(const std::vector<std::pair<std::string, std::string>>& rows) {
    const int labelWidth = width_ * 11 / 20;
    for (const auto& [label, value] : rows) {
        // A long value wraps within its column rather than running off the page.
        const QRect valueRect(labelWidth, 0, width_ - labelWidth, height_);
        const int height =
            std::max(lineHeight_,
                     painter_->boundingRect(valueRect, Qt::AlignLeft | Qt::TextWordWrap, qt(value))
                         .height());
        need(height);
        painter_->drawText(QRect(0, y_, labelWidth, lineHeight_), Qt::AlignLeft, qt(label));
        painter_->drawText(QRect(labelWidth, y_, width_ - labelWidth, height),
                           Qt::AlignLeft | Qt::TextWordWrap, qt(value));
        y_ += height;
    }
}

void CSetupReportWriter::lines(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        line(qt(text));
    }
}

void CSetupReportWriter::timeTableChart() {
    // One hatched bar per column, up for more LPG time, down for less, over ±25 %.
    const int chartHeight = lineHeight_ * 12;
    need(chartHeight + lineHeight_ * 2);
    const int left = lineHeight_ * 3;
    const int top = y_;
    const int plotWidth = width_ - left;
    const int zero = top + chartHeight / 2;
    const double perPercent = (chartHeight / 2.0) / CTimeTable::kLimit;
    painter_->setPen(QPen(Qt::black, 1, Qt::DotLine));
    for (int p = -25; p <= 25; p += 5) {
        const int y = zero - int(std::lround(p * perPercent));
        painter_->drawLine(left, y, width_, y);
        painter_->drawText(QRect(0, y - lineHeight_ / 2, left - 10, lineHeight_), Qt::AlignRight,
                           QString::number(p) + "%");
    }
    painter_->setPen(QPen(Qt::black, 3));
    painter_->drawLine(left, zero, width_, zero);
    const int step = plotWidth / CTimeTable::kColumns;
    const auto& table = model_.info().timeTable;
    for (int i = 0; i < CTimeTable::kColumns; ++i) {
        const int x = left + i * step + step / 6;
        const int barHeight = int(std::lround(table[i] * perPercent));
        const QRect bar(x, std::min(zero, zero - barHeight), step * 2 / 3, std::abs(barHeight));
        painter_->setPen(QPen(Qt::black, 3));
        painter_->setBrush(QBrush(Qt::black, Qt::BDiagPattern));
        painter_->drawRect(bar);
        painter_->drawText(QRect(left + i * step, top + chartHeight, step, lineHeight_),
                           Qt::AlignHCenter, QString::number(i + 1));
        painter_->drawText(
            QRect(left + i * step, top + chartHeight + lineHeight_, step, lineHeight_),
            Qt::AlignHCenter, QString::number(table[i], 'f', 0));
    }
    painter_->setBrush(Qt::NoBrush);
    painter_->setPen(QPen(Qt::black, 1));
    y_ = top + chartHeight + lineHeight_ * 2;
    line("Kolumna n: czas benzyny od n do n+1 ms; pod nią korekcja w %.");
}

void CSetupReportWriter::mapGrid() {
    // The cells carry their numbers; a correction is shaded light grey, with a darker
    // shade for a larger one, so the grid reads on any printer.
    const auto& proposal = model_.proposal();
    QFont font = painter_->font();
    font.setPointSize(proposal ? 6 : 7);
    painter_->setFont(font);
    const int rowHeight = std::max(painter_->fontMetrics().height(),
                                   (height_ - y_ - lineHeight_ * 2) / (injmap::kRows + 1));
    const int first = width_ / 9;
    const int column = (width_ - first) / injmap::kColumns;
    auto cellRect = [&](int row, int col) {
        return QRect(col < 0 ? 0 : first + col * column, y_ + (row + 1) * rowHeight,
                     col < 0 ? first : column, rowHeight);
    };
    painter_->setPen(QPen(Qt::black, 1));
    painter_->drawText(QRect(0, y_, first, rowHeight), Qt::AlignCenter, "ms \\ obr/min");
    for (int c = 0; c < injmap::kColumns; ++c) {
        const QRect head(first + c * column, y_, column, rowHeight);
        painter_->drawRect(head);
        painter_->drawText(
            head, Qt::AlignCenter,
            QString("%1-%2").arg(c * injmap::kColumnRpm).arg((c + 1) * injmap::kColumnRpm));
    }
    for (int r = 0; r < injmap::kRows; ++r) {
        const QRect label = cellRect(r, -1);
        painter_->drawRect(label);
        painter_->drawText(label, Qt::AlignCenter,
                           QString("%1-%2")
                               .arg(r * injmap::kRowMs, 0, 'f', 1)
                               .arg((r + 1) * injmap::kRowMs, 0, 'f', 1));
        for (int c = 0; c < injmap::kColumns; ++c) {
            const int cell = injmap::cellIndex(r, c);
            const int percent = model_.mapPercent()[cell];
            const QRect rect = cellRect(r, c);
            const int shade = 255 - std::min(100, std::abs(percent) * 4);
            painter_->setBrush(percent ? QColor(shade, shade, shade) : QColor(Qt::white));
            painter_->drawRect(rect);
            QString text = percent ? QString::number(percent) + "%" : QString();
            if (proposal && (proposal->gasolineSamples[cell] || proposal->lpgSamples[cell])) {
                text += QString(" (%1/%2)")
                            .arg(proposal->gasolineSamples[cell])
                            .arg(proposal->lpgSamples[cell]);
            }
            painter_->drawText(rect, Qt::AlignCenter, text);
        }
    }
    painter_->setBrush(Qt::NoBrush);
    y_ += (injmap::kRows + 1) * rowHeight + lineHeight_ / 2;
    font.setPointSize(kBodyPoints);
    painter_->setFont(font);
    line("Puste pole: bez korekcji. Ciemniejsze tło: większa korekcja.");
}
