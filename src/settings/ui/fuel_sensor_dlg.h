// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QDialog>
#include <QStringList>

#include "settings/fuel_sensor.h"
#include "widgets/line_poll.h"
#include "writes/data_write.h"

class CColorStatic;
class CLPGDevice;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// "Czujnik poziomu gazu": the four thresholds at which the installation's level
// display changes, read from and written to the controller, ready values for the known
// sensor types, and the sensor's reading polled while the dialog is open, shown on four
// lamps the way the car's level display lights them.
class CFuelSensorDlg : public QDialog {
    Q_OBJECT
  public:
    enum class WriteResult { Written, Refused, Failed };

    CFuelSensorDlg(QWidget* parent, CLPGDevice& device, CDataWrite& writes);

    // "Wczytaj": the reading, then the thresholds and the type they match.
    void onRead();
    // "Wpisz": the typed thresholds, checked, to the controller. Refused means a value
    // was not accepted (the box said which) and nothing was sent.
    WriteResult onWrite();
    void onTypeChosen(int index);
    void onFactory();
    // One tick of the poll: the last read's reading shown (a failed read changes nothing
    // and shows nothing), and the next read started on a worker.
    void onTimer();
    // A read of the poll has not been shown yet.
    bool polling() const { return poll_.pending(); }
    // Closing asks whether to write first when the thresholds shown are not the ones the
    // controller last gave or took, naming them; a refused value keeps the dialog open.
    void done(int result) override;
    // The thresholds shown that the controller does not hold, by name (a text that is no
    // threshold counts as changed).
    QStringList unwrittenChanges() const;
    // "Progi czujnika wpisano do urządzenia o 14:02:11." after a write; empty before.
    QString writtenNote() const;

    const CFuelSensor::Thresholds& thresholds() const { return thresholds_; }
    QLineEdit* thresholdEdit(CFuelSensor::Index index) const { return edits_[index]; }
    QLineEdit* readingEdit() const { return reading_; }
    QComboBox* typeCombo() const { return type_; }
    CColorStatic* lamp(int index) const { return lamps_[index]; }
    QPushButton* readButton() const { return read_; }
    QPushButton* writeButton() const { return write_; }
    QPushButton* factoryButton() const { return factory_; }
    QTimer* pollTimer() const { return timer_; }

    // The poll period of dialogs created afterwards (600 ms; tests shorten it).
    static void setPollPeriod(int ms);
    static int pollPeriod();

    static constexpr const char* kReadLevelFailed =
        "Nie można wczytać wskazania czujnika poziomu gazu";
    static constexpr const char* kReadFailed =
        "Nie można wczytać ustawień czujnika poziomu gazu z urządzenia";
    static constexpr const char* kWriteFailed =
        "Nie można wpisać ustawień czujnika poziomu gazu do urządzenia";
    static constexpr const char* kFactoryQuestion =
        "Czy chcesz przywrócić ustawienia fabryczne dla czujnika poziomu gazu?";
    static constexpr const char* kWriteQuestion = "Czy chcesz wpisać ustawienia do urządzenia?";
    static constexpr const char* kUnwrittenHeading = "Nie wpisano do urządzenia:";

  private:
    void buildLayout();
    QLayout* buildLevels();
    QLayout* buildSide();
    void showValues();
    void chooseMatchingType();
    bool takeValues();
    void setLamps(int reading);
    void readFromDevice();
    void showPoll();
    WriteResult writeToDevice();

    CLPGDevice& device_;
    CDataWrite& writes_;
    CFuelSensor::Thresholds thresholds_ = CFuelSensor::kInitial;
    // What the controller holds as far as this dialog knows: read or written last.
    CFuelSensor::Thresholds held_ = CFuelSensor::kInitial;
    // Lamp 4's colour in the reserve: red and dark grey in turn at each poll.
    bool blink_ = false;
    std::array<QLineEdit*, 4> edits_{};
    std::array<CColorStatic*, 4> lamps_{};
    QLineEdit* reading_ = nullptr;
    QComboBox* type_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* factory_ = nullptr;
    QLabel* written_ = nullptr;
    QTimer* timer_ = nullptr;
    CLinePoll<std::uint16_t> poll_;
};
