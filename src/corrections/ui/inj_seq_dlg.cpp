// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/inj_seq_dlg.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/device_doc.h"
#include "corrections/inj_sequence.h"
#include "widgets/message_box.h"
#include "widgets/off_window.h"
#include "widgets/wait_cursor.h"

namespace {

using Icon = CMessageBox::Icon;

// The chart's bottom margin is 55 pixels; its x labels need the top of it, the button
// row may take the rest.
constexpr int kChartBottomMargin = 55;
constexpr int kLabelRoom = 22;

constexpr const char* kReadDetail =
    "Odczyt sekwencji wtrysków: brak poprawnej odpowiedzi sterownika.";
constexpr const char* kNotSequentialDetail =
    "Wszystkie wtryskiwacze otwierają się w ciągu 1 ms od pierwszego.";

}  // namespace

CInjSeqDlg::CInjSeqDlg(QWidget* parent, CDeviceDoc& doc)
    : QDialog(parent), doc_(doc), chart_(this) {
    setWindowTitle(kTitle);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    refresh_ = new QPushButton(kStartText, this);
    refresh_->setObjectName("refresh");
    close_ = new QPushButton("Zamknij", this);
    close_->setObjectName("close");
    connect(refresh_, &QPushButton::clicked, this, &CInjSeqDlg::onBtnRefresh);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(refresh_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(buttons);
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &CInjSeqDlg::refreshSequence);
    resize(kWidth, kHeight);
    OnInitDialog();
}

QRect CInjSeqDlg::chartRect() const {
    const int buttonsTop = close_->geometry().top() - layout()->spacing();
    return QRect(0, 0, width(), std::max(0, buttonsTop + kChartBottomMargin - kLabelRoom));
}

void CInjSeqDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layout()->activate();  // the buttons' place decides the chart's
    chart_.setSize(chartRect().size());
}

void CInjSeqDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setClipRect(chartRect());
    chart_.draw(painter);
}

void CInjSeqDlg::OnInitDialog() {
    layout()->activate();
    chart_.setSize(chartRect().size());
    runGuarded(parentWidget(), "CInjSeqDlg::OnInitDialog()", [&] {
        bool stopped = false;
        staggered_ = true;
        const bool read = COffWindow::run(
            parentWidget(), kReadingText, [&] { return doc_.readSequence(entries_, staggered_); },
            &stopped);
        if (stopped) {
            doc_.slowRefresh();
            return;
        }
        if (!read) {
            // The window still opens, empty, so the user sees what was asked for.
            CMessageBox::show(parentWidget(), QString(kReadFailedText) + "\n" + kReadDetail,
                              Icon::Error);
            doc_.slowRefresh();
            return;
        }
        if (!staggered_) {
            CMessageBox::show(parentWidget(),
                              QString(kNotSequentialText) + "\n" + kNotSequentialDetail);
            doc_.slowRefresh();
        }
        CWaitCursor wait;
        buildTraces();
    });
}

void CInjSeqDlg::buildTraces() {
    chart_.clearPoints();
    for (const seq_point_t& p : CInjSequence::traces(entries_, chart_.xAxis().max)) {
        chart_.addPoint({p.x, p.y, p.label, chart_colour::kBlue});
    }
}

void CInjSeqDlg::refreshSequence() {
    poll_.start(
        [this]() -> std::optional<read_t> {
            read_t read;
            if (!doc_.readSequence(read.entries, read.staggered)) {
                return std::nullopt;
            }
            return read;
        },
        [this] {
            QMetaObject::invokeMethod(
                this, [this] { showRefresh(); }, Qt::QueuedConnection);
        });
}

void CInjSeqDlg::showRefresh() {
    const bool completed = runGuarded(this, "CInjSeqDlg::refreshSequence()", [&] {
        // A failed read keeps the previous traces.
        if (std::optional<read_t> read = poll_.take(); read && refreshing_) {
            entries_ = std::move(read->entries);
            staggered_ = read->staggered;
            buildTraces();
            repaint(chartRect());
        }
    });
    if (!completed && refreshing_) {
        onBtnRefresh();  // a broken line would raise the same error every 500 ms
    }
}

void CInjSeqDlg::onBtnRefresh() {
    if (refreshing_) {
        refresh_->setText(kStartText);
        timer_.stop();
        poll_.cancel();  // what it still brings is not shown
    } else {
        timer_.start();
        refresh_->setText(kStopText);
    }
    refreshing_ = !refreshing_;
}
