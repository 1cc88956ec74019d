// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>

#include <QDateTime>
#include <QStringList>
#include <QWidget>

#include "autosetup/auto_setup.h"
#include "autosetup/i_auto_setup_ui.h"

class CDeviceDoc;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

// The auto-calibration pane: the log of every run (append-only, selectable, copied with
// Ctrl+C for support), Start and Zatrzymaj. It owns the procedure and its flags; the
// procedure runs on a worker of the thread manager and reaches this view only through
// IAutoSetupUi, whose calls are handed to the GUI thread (a question waits for its
// answer, nothing else does).
class CAutoSetupView : public QWidget, public IAutoSetupUi {
    Q_OBJECT
  public:
    static constexpr const char* kIdleText = "Autoustawianie nie trwa.";
    // What the pane says once a run has ended, until the next one starts.
    static constexpr const char* kSucceededText = "Autoustawianie zakończone pomyślnie.";
    static constexpr const char* kFailedText = "Autoustawianie nieudane albo przerwane.";
    static constexpr int kLogId = 1085;
    static constexpr int kStartId = 1086;
    static constexpr int kStopId = 1087;

    explicit CAutoSetupView(CDeviceDoc& doc, QWidget* parent = nullptr);

  protected:
    // Shown again, the pane opens at the log's end.
    void showEvent(QShowEvent* event) override;

  public:
    // Stops a run and waits for its worker (answering its question with Cancel).
    ~CAutoSetupView() override;

    // Start (1086): diagnostics must run and the car information be known; then a run
    // with the default tolerance.
    void onStart();
    // Zatrzymaj (1087): clears the run flag; Start comes back when the run has ended.
    void onStop();
    // Opens a run with the given tolerance, as Start does after its check (the wizard).
    bool startRun(double tolerancePercent);
    // When the document closes: clears the run flag and waits, the window alive, until
    // the worker has ended; boxes of the ending run are no longer shown.
    void stopAndWait();

    CAutoSetup& procedure() { return procedure_; }
    bool running() const { return procedure_.running(); }
    bool succeeded() const { return procedure_.succeeded(); }
    QStringList logLines() const;
    QTreeWidget* logList() const { return log_; }
    // "Krok 2 z 5" while a run measures; what the pane says of the run.
    QString progressText() const;
    QLabel* beforeStartLabel() const { return beforeStart_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* stopButton() const { return stop_; }
    // The clock of the start-time line (tests give a fixed one).
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    // Copies the selected lines, or the whole log when none is selected.
    void copyLog() const;

    // IAutoSetupUi, safe from any thread.
    void appendLog(const std::string& line) override;
    void enableStart(bool on) override;
    void enableStop(bool on) override;
    void showMessage(const std::string& text, IDeviceUi::Icon icon) override;
    bool askOkCancel(const std::string& text) override;
    void normalRefresh() override;
    void stepStarted(int step, int steps) override;
    void runEnded(bool succeeded, const std::string& summary) override;

  private:
    template <class F>
    void onGui(F&& action);
    void addLine(const QString& line);
    void documentChanged();
    bool waitForIdle(int limitMs);

    CDeviceDoc& doc_;
    CAutoSetup procedure_;
    QTreeWidget* log_;
    QLabel* beforeStart_;
    QLabel* progress_;
    QProgressBar* steps_;
    QPushButton* start_;
    QPushButton* stop_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
    std::atomic<bool> closing_{false};
    // The run was started with Start here (the wizard says its own closing words).
    bool fromPane_ = false;
};
