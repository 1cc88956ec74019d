#pragma once

#include <array>

#include <QWidget>

class QLabel;
class CColorStatic;
class QProgressBar;

// The connection bar at the bottom of the device frame: a free text field, the
// connection state, the controller error indicator, the progress of long transfers and
// the eight injector lamps.
class CLPGBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kLamps = 8;
    // A lamp stays green for up to this many updates without its bit.
    static constexpr int kLampCountdown = 3;
    static constexpr int kTextMinWidth = 80;
    static constexpr int kProgressMinWidth = 40;

    explicit CLPGBar(QWidget* parent = nullptr);

    void showConnected(bool connected, bool simulated = false);
    void showControllerError(bool on);
    void setProgress(int percent);
    void showInjectors(std::uint8_t mask);
    void setText(const QString& text);

    QString connectionText() const;
    QColor connectionColour() const;
    QString errorText() const;
    QColor errorColour() const;
    int progress() const;
    QColor lampColour(int lamp) const;
    QString text() const;

  private:
    QLabel* text_;
    CColorStatic* connection_;
    CColorStatic* error_;
    QProgressBar* progress_;
    std::array<CColorStatic*, kLamps> lamps_{};
    std::array<int, kLamps> countdown_{};
};
