// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QDialog>
#include <QTimer>

#include "display/inj_seq_chart.h"
#include "link/lpg_device.h"
#include "widgets/line_poll.h"

class CDeviceDoc;
class QPushButton;

// "Kolejność wtryskiwaczy": in which order and at which offsets the gasoline injectors
// fire, as the controller measured it, one square pulse per injector. Reads the sequence
// as it opens and, on request, every 500 ms until stopped.
class CInjSeqDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kWidth = 700;
    static constexpr int kHeight = 480;
    static constexpr int kRefreshMs = 500;
    static constexpr const char* kTitle = "Kolejność wtryskiwaczy";
    static constexpr const char* kStartText = "Odświerzaj cyklicznie";
    static constexpr const char* kStopText = "Zatrzymaj odświeżanie";
    static constexpr const char* kReadFailedText =
        "Nie można pobrać informacji o sekwencji wtrysków";
    static constexpr const char* kNotSequentialText = "Silnik z wtryskiem niesekwencyjnym";
    static constexpr const char* kReadingText = "Wczytywanie kolejności wtryskiwaczy...";

    CInjSeqDlg(QWidget* parent, CDeviceDoc& doc);

    const CInjSeqChart& chart() const { return chart_; }
    const std::vector<sequence_entry_t>& entries() const { return entries_; }
    // The part of the window the chart takes; its bottom margin runs under the buttons.
    QRect chartRect() const;
    QPushButton* refreshButton() const { return refresh_; }
    bool refreshing() const { return refreshing_; }
    bool refreshTimerActive() const { return timer_.isActive(); }
    // A read of the refresh has not been shown yet.
    bool refreshPending() const { return poll_.pending(); }
    // Button "Odświerzaj cyklicznie" / "Zatrzymaj odświeżanie".
    void onBtnRefresh();
    // One tick of the periodic refresh: a read started on a worker unless one runs; its
    // traces are shown when it ends (the old ones are kept, with no message, when it fails).
    void refreshSequence();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void OnInitDialog();
    void buildTraces();
    // The ended read's traces, on the window's thread.
    void showRefresh();

    CDeviceDoc& doc_;
    CInjSeqChart chart_;
    std::vector<sequence_entry_t> entries_;
    bool staggered_ = true;
    bool refreshing_ = false;
    QTimer timer_;
    struct read_t {
        std::vector<sequence_entry_t> entries;
        bool staggered = true;
    };
    CLinePoll<read_t> poll_;
    QPushButton* refresh_;
    QPushButton* close_;
};
