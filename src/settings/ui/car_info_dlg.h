// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

#include "settings/car_texts.h"

class IPreferences;
class QComboBox;
class QLineEdit;
struct device_info_t;

// "Informacje o samochodzie": the car and installation a setup is written for, asked
// before the first settings write of a run. Makes and models come from the car settings
// library; the last stored file fills the fields when it belongs to this controller.
class CCarInfoDlg : public QDialog {
    Q_OBJECT
  public:
    CCarInfoDlg(QWidget* parent, IPreferences* preferences, const device_info_t& record,
                QString libraryRoot = {});

    car_texts_t texts() const;
    // The labels of the required fields that are empty, in the dialog's order.
    QStringList missingFields() const;
    void accept() override;

    QComboBox* makeCombo() const { return make_; }
    QComboBox* modelCombo() const { return model_; }
    QComboBox* injectorsCombo() const { return injectors_; }
    QLineEdit* yearEdit() const { return year_; }
    QLineEdit* capacityEdit() const { return capacity_; }
    QLineEdit* powerEdit() const { return power_; }
    QLineEdit* calibratedEdit() const { return calibrated_; }

    static constexpr const char* kMissingText =
        "Musisz podać dane dotyczące samochodu i zamontowanej instalacji";
    static constexpr const char* kReasonText = "Przed wpisaniem ustawień podaj dane samochodu";
    static constexpr const char* kReasonDetail =
        "Ustawienia wpisywane do sterownika są zapisywane także w bibliotece ustawień, "
        "w folderze tego samochodu.";
    static constexpr const char* kMakeLabel = "Marka pojazdu";
    static constexpr const char* kModelLabel = "Model";
    static constexpr const char* kCapacityLabel = "Pojemność silnika";
    static constexpr const char* kPowerLabel = "Moc [KM]";
    static constexpr const char* kInjectorsLabel = "Zamontowane wtryskiwacze";

  private:
    void onMakeChosen(int index);
    void clearCarDetails();
    // Make and model that name one car of the library bring its other texts along.
    void fillFromLibrary();
    void fill(const car_texts_t& texts);

    QString root_;
    IPreferences* preferences_;
    QComboBox* make_;
    QComboBox* model_;
    QComboBox* injectors_;
    QLineEdit* year_;
    QLineEdit* capacity_;
    QLineEdit* power_;
    QLineEdit* calibrated_;
};
