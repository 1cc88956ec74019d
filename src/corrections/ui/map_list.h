// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include <QColor>
#include <QTableWidget>

#include <optional>

#include "corrections/inj_map_cells.h"
#include "corrections/map_block.h"

struct map_proposal_t;
class QUndoStack;

// The map as a list: a column of gasoline-time rows ("0.0-0.5" … "24.5-25.0") and eight
// speed columns ("0-1000" … "7000-8000") whose cells hold "12%", "-5%" or nothing (no
// correction), coloured from blue (leaner) through green to red (richer) and light
// enough for black text. After a build every cell tells how many samples of each fuel
// support it, and a value resting on few samples carries a mark in its corner; cells
// "Uzupełnij puste" filled are in italics until the map is written. Every change of the
// content goes through the list's undo stack.
class CMapList : public QTableWidget {
    Q_OBJECT
  public:
    using map_bytes_t = std::array<std::uint8_t, injmap::kCells>;

    // Everything the list shows of the map, as one undo step keeps it.
    struct state_t {
        std::array<QString, injmap::kCells> text;
        std::array<bool, injmap::kCells> filled{};
        bool support = false;  // the counts below are shown
        std::array<std::int64_t, injmap::kCells> gasoline{};
        std::array<std::int64_t, injmap::kCells> lpg{};
        // Typed or changed by hand since the build: no samples stand behind the value.
        std::array<bool, injmap::kCells> byHand{};
    };

    static constexpr int kMsWidth = 60;
    static constexpr int kSpeedWidth = 70;
    static constexpr QRgb kOddRow = 0xFFD2D2D2;
    static constexpr QRgb kEvenRow = 0xFFFFFFFF;
    static constexpr QRgb kText = 0xFF000000;
    static constexpr QRgb kGrid = 0xFFFF7F00;
    static constexpr QRgb kWeakMark = 0xFF000000;
    static constexpr QRgb kWorkingPoint = 0xFF0050DC;
    static constexpr QRgb kChangeMark = 0xFFD00000;
    static constexpr QRgb kSelection = 0x500050DC;  // translucent: the cell's colour shows
    // A value is trusted when each fuel gave at least this many samples.
    static constexpr std::int64_t kTrustedSamples = 30;
    // Black text keeps at least this contrast on every cell colour.
    static constexpr double kLeastContrast = 4.5;
    static constexpr const char* kPasteRefused =
        "Nie wklejono nic: popraw wklejany tekst (liczby od −100 do 150, oddzielone "
        "tabulatorami, wiersz pod wierszem) i wklej go ponownie.";

    explicit CMapList(QWidget* parent = nullptr);

    // Speed column 0 … 7 (list column 1 … 8).
    QString cellText(int row, int column) const;
    // A change of its own: one undo step.
    void setCellText(int row, int column, const QString& text);
    bool weak(int row, int column) const;
    bool filled(int row, int column) const { return state_.filled[injmap::cellIndex(row, column)]; }

    // The map as read from the controller: no support shown.
    static state_t stateOfMap(const map_bytes_t& map);
    static state_t stateOfProposal(const map_proposal_t& proposal);
    const state_t& state() const { return state_; }
    // Shows `state` as one undo step named `what`.
    void apply(const state_t& state, const QString& what);
    // Shows `state` without an undo step (the undo commands themselves).
    void showState(const state_t& state);

    void showMap(const map_bytes_t& map) { apply(stateOfMap(map), "Wczytanie mapy"); }
    void showProposal(const map_proposal_t& proposal);
    void clearCells();
    // "Uzupełnij puste"; returns how many cells were filled (no undo step for none).
    int fillBetween();
    // Every cell as the controller takes it: the leading number limited to −100 … 150 %,
    // a text without one as no correction. Tells whether any cell holds a correction.
    bool readCells(map_bytes_t& map) const;

    // The selected cells (a rectangle of speed columns), none when nothing is selected.
    std::optional<CMapBlock> selectedBlock() const;
    void selectBlock(const CMapBlock& block);
    // Every cell as a whole percent, an empty one as 0.
    CMapBlock::percent_t percents() const;
    // An operation on the selected block: one undo step named `what`.
    void applyToSelection(CMapBlock::Operation operation, double amount, const QString& what);
    // The selection to the clipboard as tab-separated rows of numbers.
    void copySelection();
    // Tab-separated rows from the clipboard from the current cell on, as one undo step;
    // refused whole with the reason when a field is not a number within the cell's
    // range or the block runs off the map.
    QString pasteClipboard();
    // The text a cell shows for a whole percent: "" for 0 (no correction).
    static QString percentText(int percent);

    QUndoStack* undoStack() const { return undo_; }
    // The list now holds what the controller holds.
    void markSaved();
    // Cells that differ from what the controller was last known to hold.
    int unsavedCells() const;

    // The cell the engine is in now (outlined), -1 for none.
    void setWorkingCell(int cell);
    int workingCell() const { return working_; }
    // Cells a write would change (framed until the next change of the content).
    void markChanges(const std::array<bool, injmap::kCells>& changed);
    bool changeMarked(int cell) const { return changed_[cell]; }

    static QString rowText(int row);
    static QString columnText(int column);
    // "" for 100 (no correction), else "12%".
    static QString byteText(std::uint8_t value);
    // The leading decimal number of a text ("12%" is 12), 0 when there is none.
    static double leadingNumber(const QString& text);
    // The colour of a cell of `percent` on a scale reaching ±`scale`; nullopt-like
    // invalid colour for an empty cell.
    static QColor valueColor(double percent, double scale);
    // WCAG contrast ratio of two colours.
    static double contrast(const QColor& a, const QColor& b);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QTableWidgetItem* cell(int row, int column) const { return item(row, column + 1); }
    // The columns keep their usual widths while the list has room for them; in a narrower
    // pane they narrow and the font with them, so that every column shows and no text is
    // cut.
    void fitColumns();
    void onItemChanged(QTableWidgetItem* item);
    void paintCells();
    void paintMarks();
    // `percent` in the block's cells as one undo step.
    void applyPercents(const CMapBlock& block, const CMapBlock::percent_t& percent,
                       const QString& what);

    QUndoStack* undo_;
    state_t state_;
    state_t saved_;
    std::array<bool, injmap::kCells> changed_{};
    int working_ = -1;
    bool showing_ = false;  // the list itself is changing the cells
};
