// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/auto_setup_view.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/device_doc.h"
#include "autosetup/auto_setup_text.h"
#include "support/thread_manager.h"
#include "widgets/message_box.h"

namespace {

// The room the view's item margins take beside and around a line's text.
constexpr int kLogTextMargin = 8;

void fitRow(const QTreeWidget& log, QTreeWidgetItem* item) {
    const int width = std::max(1, log.header()->sectionSize(0) - kLogTextMargin);
    const QRect text =
        log.fontMetrics().boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, item->text(0));
    item->setSizeHint(0, QSize(width, text.height() + kLogTextMargin / 2));
}

// The run measures from the live samples: without them it could only wait.
constexpr const char* kNoDiagnostics =
    "Włącz tryb diagnostyczny (menu Diagnostyka), aby rozpocząć autoustawianie.\n"
    "Autoustawianie mierzy czasy wtrysku z próbek diagnostycznych.";

std::tm localTime(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    std::tm local{};
    local.tm_year = date.year() - 1900;
    local.tm_mon = date.month() - 1;
    local.tm_mday = date.day();
    local.tm_hour = time.hour();
    local.tm_min = time.minute();
    local.tm_sec = time.second();
    return local;
}

}  // namespace

CAutoSetupView::CAutoSetupView(CDeviceDoc& doc, QWidget* parent)
    : QWidget(parent), doc_(doc), procedure_(doc, doc.store(), *this, doc.settingsWrite()) {
    log_ = new QTreeWidget(this);
    log_->setObjectName(QString("log%1").arg(kLogId));
    log_->setColumnCount(1);
    log_->setHeaderLabels({QString()});
    log_->setHeaderHidden(true);
    // The lines wrap at the pane's width, so that an error line is read whole without a
    // scroll bar; the separator, one unbroken rule, is simply clipped at the edge.
    log_->header()->setStretchLastSection(true);
    log_->header()->setMinimumSectionSize(0);
    log_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    log_->setWordWrap(true);
    log_->setTextElideMode(Qt::ElideNone);
    log_->setRootIsDecorated(false);
    log_->setUniformRowHeights(false);
    // A tree view does not wrap its rows by itself: each line gets the height its text
    // takes at the column's width, again whenever the width changes.
    connect(log_->header(), &QHeaderView::sectionResized, this, [this] {
        for (int i = 0; i < log_->topLevelItemCount(); ++i) {
            fitRow(*log_, log_->topLevelItem(i));
        }
        log_->scrollToBottom();
    });
    log_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    log_->setFrameShape(QFrame::StyledPanel);
    auto* copy = new QAction("Kopiuj", log_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &CAutoSetupView::copyLog);
    auto* all = new QAction("Zaznacz wszystko", log_);
    all->setShortcut(QKeySequence::SelectAll);
    all->setShortcutContext(Qt::WidgetShortcut);
    connect(all, &QAction::triggered, log_, &QTreeWidget::selectAll);
    log_->addActions({copy, all});
    log_->setContextMenuPolicy(Qt::ActionsContextMenu);

    start_ = new QPushButton("Start", this);
    start_->setObjectName(QString("button%1").arg(kStartId));
    stop_ = new QPushButton("Zatrzymaj", this);
    stop_->setObjectName(QString("button%1").arg(kStopId));
    connect(start_, &QPushButton::clicked, this, &CAutoSetupView::onStart);
    connect(stop_, &QPushButton::clicked, this, &CAutoSetupView::onStop);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch(1);
    beforeStart_ = new QLabel(autosetup_text::kBeforeStart, this);
    beforeStart_->setObjectName("beforeStart");
    beforeStart_->setWordWrap(true);
    progress_ = new QLabel(kIdleText, this);
    progress_->setObjectName("progress");
    steps_ = new QProgressBar(this);
    steps_->setRange(0, CAutoSetup::kSteps);
    steps_->setValue(0);
    steps_->setTextVisible(false);
    steps_->setMaximumHeight(8);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(beforeStart_);
    layout->addWidget(progress_);
    layout->addWidget(steps_);
    layout->addWidget(log_, 1);
    layout->addLayout(buttons);

    start_->setEnabled(doc_.isConnected());
    stop_->setEnabled(false);
    connect(&doc_, &CDeviceDoc::stateChanged, this, &CAutoSetupView::documentChanged);
}

CAutoSetupView::~CAutoSetupView() {
    stopAndWait();
}

template <class F>
void CAutoSetupView::onGui(F&& action) {
    // Queued even on the GUI thread, so lines and buttons keep the order of the calls.
    QMetaObject::invokeMethod(this, std::forward<F>(action), Qt::QueuedConnection);
}

void CAutoSetupView::documentChanged() {
    if (!procedure_.active()) {
        start_->setEnabled(doc_.isConnected() && !doc_.wizardRunning());
        return;
    }
    // Without diagnostics no sample comes: a waiting run could only be stopped by hand.
    if (procedure_.running() && !doc_.diagOn()) {
        onStop();
    }
}

void CAutoSetupView::onStart() {
    if (doc_.wizardRunning() || !waitForIdle(1000)) {
        return;
    }
    if (!doc_.diagOn()) {
        CMessageBox::show(this, kNoDiagnostics);
        return;
    }
    if (!doc_.ensureCarInfo()) {
        CMessageBox::show(nullptr, autosetup_text::kNoCarInfo);
        return;
    }
    if (startRun(CAutoSetup::kDefaultTolerancePercent)) {
        fromPane_ = true;
    }
}

bool CAutoSetupView::startRun(double tolerancePercent) {
    if (procedure_.active()) {
        return false;
    }
    procedure_.setTolerancePercent(tolerancePercent);
    fromPane_ = false;
    progress_->setText(kIdleText);
    steps_->setValue(0);
    start_->setEnabled(false);
    stop_->setEnabled(true);
    addLine(QString::fromStdString(autosetup_text::separator()));
    addLine(QString::fromStdString(autosetup_text::startTime(localTime(clock_()))));
    addLine(autosetup_text::kStart);
    if (!procedure_.start(CThreadManager::instance())) {
        return false;
    }
    doc_.setAutoSetupActive(true);  // its end comes queued, after this
    return true;
}

void CAutoSetupView::onStop() {
    procedure_.stop();
    stop_->setEnabled(false);
}

bool CAutoSetupView::waitForIdle(int limitMs) {
    QElapsedTimer waited;
    waited.start();
    while (procedure_.active() && waited.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        QThread::msleep(2);
    }
    return !procedure_.active();
}

void CAutoSetupView::stopAndWait() {
    closing_ = true;  // the window is going: the ending run shows no more boxes
    procedure_.stop();
    // The worker ends within one poll or one controller operation; a question it asks
    // meanwhile is answered here.
    while (procedure_.active()) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        QThread::msleep(2);
    }
}

void CAutoSetupView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    log_->scrollToBottom();
}

void CAutoSetupView::addLine(const QString& line) {
    fitRow(*log_, new QTreeWidgetItem(log_, {line}));
    log_->scrollToBottom();
}

QStringList CAutoSetupView::logLines() const {
    QStringList lines;
    for (int i = 0; i < log_->topLevelItemCount(); ++i) {
        lines << log_->topLevelItem(i)->text(0);
    }
    return lines;
}

void CAutoSetupView::copyLog() const {
    QStringList lines;
    for (int i = 0; i < log_->topLevelItemCount(); ++i) {
        if (log_->topLevelItem(i)->isSelected()) {
            lines << log_->topLevelItem(i)->text(0);
        }
    }
    if (lines.isEmpty()) {
        lines = logLines();
    }
    QApplication::clipboard()->setText(lines.join('\n') + '\n');
}

// --- IAutoSetupUi ------------------------------------------------------------------

void CAutoSetupView::appendLog(const std::string& line) {
    onGui([this, text = QString::fromStdString(line)] { addLine(text); });
}

void CAutoSetupView::enableStart(bool on) {
    onGui([this, on] {
        // Start comes back as the run ends: the other commands come back with it.
        if (on) {
            doc_.setAutoSetupActive(false);
        }
        start_->setEnabled(on && doc_.isConnected() && !doc_.wizardRunning());
    });
}

void CAutoSetupView::enableStop(bool on) {
    onGui([this, on] { stop_->setEnabled(on); });
}

void CAutoSetupView::showMessage(const std::string& text, IDeviceUi::Icon icon) {
    onGui([this, box = QString::fromStdString(text), icon] {
        if (!closing_) {
            CMessageBox::show(this, box, icon);
        }
    });
}

bool CAutoSetupView::askOkCancel(const std::string& text) {
    auto ask = [this, question = QString::fromStdString(text)] {
        if (closing_) {
            return false;
        }
        return CMessageBox::show(nullptr, question, IDeviceUi::Icon::Information,
                                 IDeviceUi::Buttons::OkCancel) == IDeviceUi::Answer::Ok;
    };
    if (QThread::currentThread() == thread()) {
        return ask();
    }
    bool answer = false;
    QMetaObject::invokeMethod(
        this, [&] { answer = ask(); }, Qt::BlockingQueuedConnection);
    return answer;
}

void CAutoSetupView::normalRefresh() {
    onGui([this] { doc_.normalRefresh(); });
}

QString CAutoSetupView::progressText() const {
    return progress_->text();
}

void CAutoSetupView::stepStarted(int step, int steps) {
    onGui([this, step, steps] {
        progress_->setText(QString("Krok %1 z %2").arg(step).arg(steps));
        steps_->setValue(step - 1);
    });
}

// A run started here ends with a box that says what it left in the controller, so the
// installer learns it even with the pane hidden.
void CAutoSetupView::runEnded(bool succeeded, const std::string& summary) {
    onGui([this, succeeded, text = QString::fromStdString(summary)] {
        if (succeeded) {
            steps_->setValue(steps_->maximum());
        }
        progress_->setText(succeeded ? kSucceededText : kFailedText);
        // A declined idle question needs no words: the installer has just answered it.
        if (closing_ || !fromPane_ || procedure_.outcome() == CAutoSetup::Outcome::Refused) {
            return;
        }
        fromPane_ = false;
        CMessageBox::show(doc_.window(), text,
                          succeeded ? IDeviceUi::Icon::Information : IDeviceUi::Icon::Warning);
    });
}
