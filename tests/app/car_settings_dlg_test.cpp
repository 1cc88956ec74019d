// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QTableWidget>

#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/car_texts.h"
#include "settings/cp1250.h"
#include "settings/ui/car_settings_dlg.h"
#include "temp_dir.h"
#include "widgets/message_box.h"

namespace {

class CarSettingsDlgTest : public ::testing::Test {
  protected:
    CarSettingsDlgTest() {
        CMessageBox::setShower(
            [this](QWidget* owner, const QString& text, CMessageBox::Icon, CMessageBox::Buttons) {
                boxes.push_back(text);
                owners.push_back(owner);
                return CMessageBox::Answer::Ok;
            });
        root = library.root() + "/";
        QDir(QString::fromStdString(library.root())).mkpath("Opel-Corsa-1.2");
        QDir(QString::fromStdString(library.root())).mkpath("Fiat-Punto-1.2");
        store("CONNECTED0000001", "01-02-2024-09:00:00", "mój");
        store("OTHER00000000002", "03-02-2024-10:00:00", "inny");
        std::ofstream(root + "Opel-Astra-1.6/MIDDLE.settings") << "too short";
    }
    ~CarSettingsDlgTest() override { CMessageBox::setShower({}); }

    void store(const std::string& id, const std::string& stamp, const std::string& notesUtf8) {
        device_info_t info;
        info.version = 4;
        info.id = id;
        info.timeStamp = stamp;
        car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(info);
        info.notes = utf8ToCp1250(notesUtf8);
        QDir(QString::fromStdString(library.root())).mkpath("Opel-Astra-1.6");
        const std::string path =
            root + "Opel-Astra-1.6/" + id + "-" + stamp.substr(0, 10) + ".settings";
        ASSERT_TRUE(CCarInfo::storeCarSettingsFile(path, info, nullptr));
    }

    CTempDir library;
    std::string root;
    std::vector<QString> boxes;
    std::vector<QWidget*> owners;
};

TEST_F(CarSettingsDlgTest, ChoosingNeedsASelectedRowAndNamesItsFile) {
    CCarSettingsDlg dialog(nullptr, "CONNECTED0000001", QString::fromStdString(root));
    EXPECT_EQ(dialog.windowTitle(), "Wybierz ustawienia samochodu...");
    EXPECT_EQ(dialog.makeCombo()->count(), 2);
    EXPECT_EQ(dialog.makeCombo()->itemText(0), "Fiat");
    EXPECT_EQ(dialog.capacityCombo()->currentText(), "1.2");  // the make shown is ready to find
    emit dialog.makeCombo()->activated(1);
    EXPECT_EQ(dialog.modelCombo()->count(), 2);
    EXPECT_EQ(dialog.modelCombo()->currentText(), "Astra");
    EXPECT_EQ(dialog.capacityCombo()->currentText(), "1.6");
    EXPECT_EQ(dialog.list()->rowCount(), 2);  // listed at once, with no "Znajdź"

    dialog.accept();
    EXPECT_EQ(boxes, std::vector<QString>{"Musisz zaznaczyć ustawienia na liście"});
    EXPECT_EQ(owners, std::vector<QWidget*>{nullptr});
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    dialog.find();
    QTableWidget* list = dialog.list();
    ASSERT_EQ(list->rowCount(), 2);  // the broken file is skipped
    const QStringList headings = {"Data",          "Rok prod.",         "Moc [KM]",
                                  "Wtryskiwacze",  "Skalibrowane na",   "Ciśn. reduktora",
                                  "Nr sterownika", "Wersja sterownika", "Uwagi"};
    for (int c = 0; c < headings.size(); ++c) {
        EXPECT_EQ(list->horizontalHeaderItem(c)->text(), headings[c]);
    }
    EXPECT_TRUE(list->isColumnHidden(car_settings_row_t::ID));
    EXPECT_EQ(list->item(0, car_settings_row_t::NOTES)->text(), "mój");
    EXPECT_EQ(list->item(0, car_settings_row_t::REDUCER)->text(), "0.0");
    EXPECT_EQ(list->item(0, car_settings_row_t::VERSION)->text(), "4");
    EXPECT_EQ(list->item(0, 0)->background().color(), CCarSettingsDlg::highlightColour());
    // The second readable file is the folder's third: its colour follows its place.
    EXPECT_EQ(list->item(1, 0)->background().color(), CCarSettingsDlg::plainColour(2));

    list->selectRow(1);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.filePath().toStdString(),
              root + "Opel-Astra-1.6/OTHER00000000002-03-02-2024.settings");
}

}  // namespace
