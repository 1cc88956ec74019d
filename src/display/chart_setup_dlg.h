// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QDialog>

class QLineEdit;

// The eight values of the chart set-up dialog: the plot size in pixels (shown only), the
// x and y ranges and the two grid steps.
struct chart_setup_t {
    double width = 0.0;
    double height = 0.0;
    double xFrom = 0.0;
    double xTo = 0.0;
    double yFrom = 0.0;
    double yTo = 0.0;
    double xGrid = 0.0;
    double yGrid = 0.0;

    bool operator==(const chart_setup_t&) const = default;
};

// "Ustawienia wykresu...": edits a chart's ranges and grid steps. Leaving an x field keeps
// the x range between 50 and 10000 samples wide and sets the x grid to a tenth of it;
// leaving a y field sets the y grid to a tenth of the y range. Numbers take a decimal
// comma or point; OK names a field that holds no number, and is refused with
// "Nieprawidłowe wartości" unless both ranges run upwards.
class CChartSetupDlg : public QDialog {
    Q_OBJECT

  public:
    enum class Field { Width, Height, XFrom, XTo, YFrom, YTo, XGrid, YGrid };

    static constexpr double kMinXSpan = 50.0;
    static constexpr double kMaxXSpan = 10000.0;
    static constexpr const char* kRefusal = "Nieprawidłowe wartości";

    explicit CChartSetupDlg(const chart_setup_t& values, QWidget* parent = nullptr);

    // The values as given, or as accepted by OK.
    const chart_setup_t& values() const { return values_; }
    QLineEdit* field(Field which) const;

    // The corrections made when a field loses focus.
    static void correctXTo(chart_setup_t& v);
    static void correctXFrom(chart_setup_t& v);
    static void correctYGrid(chart_setup_t& v);
    static bool isAcceptable(const chart_setup_t& v);

  public slots:
    void onKillFocusXTo();
    void onKillFocusXFrom();
    void onKillFocusY();
    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildLayout();
    QLineEdit* makeField(Field which, bool readOnly);
    // False when an editable field does not hold a number.
    bool readFields(chart_setup_t& v) const;
    void writeFields(const chart_setup_t& v);
    template <class Correction>
    void correctFields(Correction correction);

    chart_setup_t values_;
    std::array<QLineEdit*, 8> fields_{};
};
