// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QScrollArea>
#include <QTimer>

#include "display/time_corr_chart.h"

class CDeviceDoc;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QUndoStack;

// The time-correction pane: the 25 corrections of the LPG injection time as bars, under
// each bar its value with spin buttons and a box that makes the column manual (the others
// follow the line between manual columns), and the buttons that read the table from the
// controller, write it with the settings, or clear it. While samples arrive, the bar of
// the present gasoline injection time is marked red. The chart and the columns take the
// pane's width down to a least width, below which the pane scrolls.
class CTimeCorrView : public QScrollArea {
    Q_OBJECT
  public:
    static constexpr int kColumns = CTimeCorrChart::kColumns;
    static constexpr int kMarkerMs = 100;
    static constexpr const char* kReadingText = "Wczytywanie ustawień z urządzenia...";
    static constexpr const char* kWritingText =
        "Wpisywanie tablicy poprawek czasu do sterownika...";
    static constexpr const char* kReadFailedText =
        "Nie powiodło się odczytanie ustawień urządzenia!";

    explicit CTimeCorrView(CDeviceDoc& doc, QWidget* parent = nullptr);

    // Once the document has tried to connect: reads the table and starts the live marker.
    void firstUpdate();

    void onTimeCorrGet();
    void onTimeCorrSet();
    void onTimeCorrClear();
    // One step of column `index`'s spin; delta -1 is the up arrow.
    void onSpin(int index, int delta);
    // Column `index`'s box was clicked.
    void onManualClicked(int index);
    // The live marker's timer: the bar of the newest sample's gasoline time while live
    // diagnostics run, none otherwise.
    void moveMarker();

    // The values and the columns set by hand, as one undo step keeps them.
    struct state_t {
        CTimeCorrChart::Table values{};
        CTimeCorrChart::ManualFlags manual{};
        bool operator==(const state_t&) const = default;
    };
    state_t state() const;
    // Shows `state` without an undo step (the undo commands themselves).
    void showState(const state_t& state);
    QUndoStack* undoStack() const { return undo_; }
    // What closing would lose: "" when the table on screen is what the controller holds.
    QString unsavedText() const;

    const CTimeCorrChart& chart() const { return chart_; }
    QLineEdit* field(int index) const { return columns_[index].field; }
    QToolButton* upButton(int index) const { return columns_[index].up; }
    QToolButton* downButton(int index) const { return columns_[index].down; }
    QCheckBox* manualBox(int index) const { return columns_[index].manual; }
    QWidget* content() const { return content_; }
    QLabel* writtenNote() const { return written_; }
    bool markerRunning() const { return marker_.isActive(); }
    // Where the chart is drawn in the content; the column controls lie below it.
    QRect chartRect() const;
    // The least size in which every column shows whole, with room for a scroll bar.
    QSize sizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A narrower pane may need a smaller field font before the content scrolls.
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct column_t {
        QToolButton* up = nullptr;
        QLineEdit* field = nullptr;
        QToolButton* down = nullptr;
        QCheckBox* manual = nullptr;
    };

    void createColumn(int index);
    QPushButton* addButton(const QString& text, const char* name, void (CTimeCorrView::*handler)());
    void layoutContent();
    int leastPlotWidth() const;
    static int leastPlotWidth(const QFont& font);
    void fitFieldFont();
    void refreshChart();
    void updateFields();
    void enableColumn(int index);
    void updateButtons();
    bool keyOnField(int index, int key);
    // Records the change from `before` to what is shown now as one undo step.
    void recordChange(const state_t& before, const QString& what, int mergeId = -1);
    void markSaved();
    // "Tablica poprawek czasu wpisana do sterownika o 14:05:12 (tablica włączona)".
    QString writtenText(const std::string& when) const;
    void addUndoControls();

    CDeviceDoc& doc_;
    QWidget* content_;
    CTimeCorrChart chart_;
    std::array<column_t, kColumns> columns_{};
    QLabel* manualLabel_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* redoButton_ = nullptr;
    QUndoStack* undo_ = nullptr;
    QLabel* written_ = nullptr;  // what the last write put into the controller, and when
    // The table as last read from or written to the controller.
    CTimeCorrChart::Table saved_{};
    QTimer marker_;
    bool updated_ = false;
};
