// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QWidget>

class CColorStatic;
class CElidedLabel;
class QProgressBar;
class QTimer;

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
    // A message stays this long, then the field is cleared for the next one.
    static constexpr int kTextShownMs = 15000;

    explicit CLPGBar(QWidget* parent = nullptr);

    void showConnected(bool connected, bool simulated = false);
    void showControllerError(bool on);
    void setProgress(int percent);
    void showInjectors(std::uint8_t mask);
    // Every lamp off at once: no sample says anything about the injectors any more.
    void lampsOff();
    // Shown cut in the middle when long (the whole text as tooltip); after textShownMs()
    // the field goes back to the car.
    void setText(const QString& text);
    void setTextShownMs(int ms);
    // The car of the job and the controller's ID: what the text field shows while no
    // message is shown, so both stay in sight without taking room of their own.
    void showCar(const QString& text);
    QString carText() const { return car_; }

    QString connectionText() const;
    QColor connectionColour() const;
    QString errorText() const;
    QColor errorColour() const;
    int progress() const;
    QColor lampColour(int lamp) const;
    // The message shown, "" when none is.
    QString text() const { return message_; }
    // The text as the field shows it, cut to its room.
    QString shownText() const;

  signals:
    // The red error indicator was clicked: the installer wants to see the errors.
    void errorClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    CElidedLabel* text_;
    QString message_;
    QString car_;
    QTimer* clear_;
    CColorStatic* connection_;
    CColorStatic* error_;
    QProgressBar* progress_;
    std::array<CColorStatic*, kLamps> lamps_{};
    std::array<int, kLamps> countdown_{};
};
