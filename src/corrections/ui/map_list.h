#pragma once

#include <array>
#include <cstdint>

#include <QColor>
#include <QTableWidget>

#include "corrections/inj_map_cells.h"

struct map_proposal_t;

// The map as a list: a column of gasoline-time rows ("0.0-0.5" … "24.5-25.0") and eight
// speed columns ("0-1000" … "7000-8000") whose cells hold "12%", "-5%" or nothing (no
// correction). Rows alternate white and grey over an orange grid; each speed column has
// its own in-cell percent editor. After a build every cell tells how many samples of
// each fuel support it, and a value resting on few samples is drawn lighter.
class CMapList : public QTableWidget {
    Q_OBJECT
  public:
    using map_bytes_t = std::array<std::uint8_t, injmap::kCells>;

    static constexpr int kMsWidth = 60;
    static constexpr int kSpeedWidth = 70;
    static constexpr QRgb kOddRow = 0xFFD2D2D2;
    static constexpr QRgb kEvenRow = 0xFFFFFFFF;
    static constexpr QRgb kText = 0xFF000000;
    static constexpr QRgb kWeakText = 0xFF8C8C8C;
    static constexpr QRgb kGrid = 0xFFFF7F00;
    // A value is trusted when each fuel gave at least this many samples.
    static constexpr std::int64_t kTrustedSamples = 30;

    explicit CMapList(QWidget* parent = nullptr);

    // Speed column 0 … 7 (list column 1 … 8).
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);
    bool weak(int row, int column) const;

    // A map as read from the controller: no support shown.
    void showMap(const map_bytes_t& map);
    void showProposal(const map_proposal_t& proposal);
    void clearCells();
    // Every cell as the controller takes it: the leading number limited to −100 … 150 %,
    // a text without one as no correction. Tells whether any cell holds a correction.
    bool readCells(map_bytes_t& map) const;

    static QString rowText(int row);
    static QString columnText(int column);
    // "" for 100 (no correction), else "12%".
    static QString byteText(std::uint8_t value);
    // The leading decimal number of a text ("12%" is 12), 0 when there is none.
    static double leadingNumber(const QString& text);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QTableWidgetItem* cell(int row, int column) const { return item(row, column + 1); }
    // The columns keep their usual widths while the list has room for them; in a narrower
    // pane they narrow and the font with them, so that every column shows and no text is
    // cut.
    void fitColumns();
    void setSupport(int row, int column, std::int64_t gasoline, std::int64_t lpg, bool valued);
};
