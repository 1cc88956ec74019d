// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QDialog>
#include <QStringList>

#include "link/device_info.h"
#include "settings/setup_boxes.h"

class CDeviceDoc;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// "Ustawienia urządzenia": every setting of the controller by hand. It edits the
// document's record itself: loading a file, the factory defaults or a snapshot of the
// recording change the record at once, while the controller changes only with "Wpisz do
// urządzenia". Values that differ from what the controller last gave are shown in bold.
class CDevSetupDlg : public QDialog {
    Q_OBJECT
  public:
    // The edits bound to fields of the settings record.
    enum Field {
        SWITCH_SPEED,
        SWITCH_TEMP,
        MAX_INTERNAL_TEMP,
        GAS_SWITCH_PRESSURE,
        RPM_THRESHOLD,
        IGNITION_PULSES,
        MIN_SUPPLY,
        EMULATOR_DELAY,
        TIME_AVERAGING,
        PRESSURE_AVERAGING,
        MAIN_CORRECTION,
        LPG_INJ_DELAY,
        REF_PRESSURE,
        PRESSURE_SLOPE,
        FIELDS
    };
    static constexpr int kInjectors = setup_boxes_t::kInjectors;
    // The record keeps a terminator in the notes field.
    static constexpr int kNotesLength = static_cast<int>(device_info_t::kNotesSize) - 1;
    static constexpr double kSnapshotWidth = 500;

    static constexpr const char* kReadFailedText =
        "Nie powiodło się odczytanie ustawień urządzenia!";
    static constexpr const char* kWriteFailedText = "Nie powiodło się ustawienie urządzenia!";
    static constexpr const char* kResetFailedText = "Nie powiodło się zresetowanie urządzenia!";
    static constexpr const char* kCarInfoText =
        "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej instalacji";
    static constexpr const char* kCloseQuestion = "Czy chcesz wpisać ustawienia do urządzenia?";
    static constexpr const char* kFactoryQuestion = "Czy chcesz przywrócić ustawienia fabryczne?";
    static constexpr const char* kUnwrittenHeading = "Nie wpisano do urządzenia:";
    static constexpr const char* kNoControllerQuestion =
        "Nie ma połączenia ze sterownikiem, więc tych zmian nie można wpisać i zostaną "
        "utracone. Czy zamknąć okno mimo to?";

    // Empties the record's notes, builds the snapshot list and, unless a finished
    // recording is being looked at, reads the settings from the controller.
    CDevSetupDlg(QWidget* parent, CDeviceDoc& document);

    // "Wczytaj z urządzenia".
    void onGetConfig();
    // "Wpisz do urządzenia"; false when a typed value was refused (nothing was sent).
    bool onSetConfig();
    // "Wczytaj z pliku....".
    void onLoadFile();
    // A car settings file into the record as "Wczytaj z pliku...." takes it; false (and
    // the reason shown) when it was refused.
    bool loadFile(const std::string& path);
    // "Przywróć ustawienia fabryczne".
    void onFactory();
    // "Opis...".
    void onDescription();
    // A double click on a snapshot of the list.
    void chooseSnapshot(int row);
    // OK, Cancel and closing: when something shown differs from what the controller last
    // gave or took, asks whether to write it first, naming it; a finished recording on
    // screen closes without asking.
    void done(int result) override;
    // What the controls show that the controller does not hold yet (the record as read
    // or written last; as it was when the editor opened, before any read), by label.
    QStringList unwrittenChanges() const;
    // "Ustawienia wpisano do urządzenia o 14:02:11." after a write.
    QString writtenNote() const;

    QLineEdit* fieldEdit(Field field) const { return edits_[field]; }
    QLineEdit* injectorEdit(int gasolineInjector) const { return injectorEdits_[gasolineInjector]; }
    QLineEdit* notesEdit() const { return notes_; }
    QCheckBox* mainCorrectionBox() const { return mainCorrection_; }
    QCheckBox* pressureCorrectionBox() const { return pressureCorrection_; }
    QCheckBox* gasoline12VBox() const { return gasoline12V_; }
    QCheckBox* allowChangeBox() const { return allowChange_; }
    QCheckBox* masksOnBox() const { return masksOn_; }
    QRadioButton* typeRadio(int injectionType) const { return types_[injectionType]; }
    QPushButton* readButton() const { return read_; }
    QPushButton* writeButton() const { return write_; }
    QPushButton* fileButton() const { return file_; }
    QPushButton* factoryButton() const { return factory_; }
    QPushButton* describeButton() const { return describe_; }
    QPushButton* writeFileButton() const { return writeFile_; }
    QGroupBox* maskGroup() const { return maskGroup_; }
    QTableWidget* snapshotList() const { return snapshotList_; }
    // Whether the control is shown as differing from the controller.
    static bool marked(const QWidget* control);

  private:
    // Layout (dev_setup_dlg_layout.cpp).
    void buildLayout();
    QWidget* buildFieldsPane();
    QWidget* buildCorrectionsPane();
    QGroupBox* buildMaskGroup();
    QWidget* buildButtonsPane();
    void buildSnapshotList();
    void connectMarks();

    // Controls and record (dev_setup_dlg_fields.cpp).
    void showRecord();
    void showBoxes();
    // Every typed value into the record, the boxes into boxes_; nothing changes after a
    // refused value.
    bool moveControls();
    setup_boxes_t boxesShown() const;
    void updateMarks();

    void initDialog();
    void fillSnapshotList();
    void applyFeatureWord();
    bool lookingAtRecording() const;
    void showWritten(const QString& text);

    bool masksEditable() const;

    CDeviceDoc& doc_;
    // The dialog's own record: what it shows and writes. Reads, files and snapshots
    // replace it only when the user asks; the live panel's poll never touches it.
    device_info_t record_;
    setup_boxes_t boxes_;
    // The record as the controller last gave or took it; nothing is marked before.
    std::optional<device_info_t> readBack_;
    device_info_t opened_;
    std::vector<device_info_t> snapshots_;

    std::array<QLineEdit*, FIELDS> edits_{};
    std::array<QLineEdit*, kInjectors> injectorEdits_{};
    std::array<QRadioButton*, 3> types_{};
    QLineEdit* notes_ = nullptr;
    QCheckBox* mainCorrection_ = nullptr;
    QCheckBox* pressureCorrection_ = nullptr;
    QCheckBox* gasoline12V_ = nullptr;
    QCheckBox* allowChange_ = nullptr;
    QCheckBox* masksOn_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* file_ = nullptr;
    QPushButton* factory_ = nullptr;
    QPushButton* describe_ = nullptr;
    QPushButton* writeFile_ = nullptr;
    QGroupBox* maskGroup_ = nullptr;
    QTableWidget* snapshotList_ = nullptr;
    QLabel* written_ = nullptr;
};
