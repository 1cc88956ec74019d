// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "app/about_dlg.h"
#include "app/lpg_dev_version_dlg.h"
#include "app/rs_setup_dlg.h"
#include "app_fixture.h"
#include "fake_system.h"
#include "link/device_info.h"
#include "link/port_list.h"
#include "settings/car_info.h"
#include "settings/car_texts.h"
#include "settings/memory_preferences.h"
#include "settings/ui/car_info_dlg.h"
#include "temp_dir.h"

namespace {

class CarInfoDlgTest : public ::testing::Test {
  protected:
    CarInfoDlgTest() {
        CMessageBox::setShower(
            [this](QWidget*, const QString& text, CMessageBox::Icon, CMessageBox::Buttons) {
                boxes.push_back(text);
                return CMessageBox::Answer::Ok;
            });
        root = library.root() + "/";
        QDir(QString::fromStdString(library.root())).mkpath("Opel-Astra-1.6");
        QDir(QString::fromStdString(library.root())).mkpath("Opel-Corsa-1.2");
        QDir(QString::fromStdString(library.root())).mkpath("Fiat-Punto-1.2");
    }
    ~CarInfoDlgTest() override { CMessageBox::setShower({}); }

    // Stores a settings file for the controller `id` and remembers it as the last one.
    void storeLastFile(const std::string& id) {
        device_info_t info;
        info.id = id;
        car_texts_t{"Opel", "Astra", "1.6", "101", "2003", "2.5", "30"}.toRecord(info);
        const std::string path = CCarInfo::carSettingsPath(root, info, std::time(nullptr));
        ASSERT_TRUE(CCarInfo::storeCarSettingsFile(path, info, &preferences));
    }

    CTempDir library;
    std::string root;
    CMemoryPreferences preferences;
    std::vector<QString> boxes;
};

TEST_F(CarInfoDlgTest, RefusesMissingFieldsAndKeepsTheLengthLimits) {
    device_info_t record;
    CCarInfoDlg dialog(nullptr, &preferences, record, QString::fromStdString(root));
    EXPECT_EQ(dialog.windowTitle(), "Informacje o samochodzie");
    EXPECT_EQ(dialog.injectorsCombo()->currentText(), "2.0");
    EXPECT_EQ(dialog.makeCombo()->count(), 2);  // Fiat, Opel
    EXPECT_EQ(dialog.makeCombo()->lineEdit()->maxLength(), 49);
    EXPECT_EQ(dialog.yearEdit()->maxLength(), 4);
    EXPECT_EQ(dialog.powerEdit()->maxLength(), 3);
    EXPECT_EQ(dialog.capacityEdit()->maxLength(), 4);

    dialog.makeCombo()->setCurrentText("Opel");
    dialog.modelCombo()->setCurrentText("Astra");
    dialog.capacityEdit()->setText("1.6");
    dialog.accept();  // no power
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0],
              "Musisz podać dane dotyczące samochodu i zamontowanej instalacji\n"
              "Uzupełnij: Moc [KM].");
    dialog.makeCombo()->setCurrentText("");
    dialog.accept();
    EXPECT_TRUE(boxes.back().endsWith("\nUzupełnij: Marka pojazdu, Moc [KM]."));
    dialog.makeCombo()->setCurrentText("Opel");
    dialog.powerEdit()->setText("101");
    dialog.accept();  // year and calibrated-for may stay empty
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.texts().make, "Opel");
}

// Typed with Tab and confirmed with Enter, the dialog keeps what it shows: Enter on
// the injector combo does not put another of its items in place of the text.
TEST_F(CarInfoDlgTest, EnterKeepsWhatEveryFieldShows) {
    device_info_t record;
    CCarInfoDlg dialog(nullptr, &preferences, record, QString::fromStdString(root));
    dialog.setVisible(true);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.makeCombo()->setFocus();
    for (const char* text : {"Fiat", "Punto", "2004", "1.2", "60"}) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_TRUE(QApplication::focusWidget() == dialog.injectorsCombo() ||
                QApplication::focusWidget() == dialog.injectorsCombo()->lineEdit());
    EXPECT_EQ(dialog.injectorsCombo()->currentText(), "2.0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.injectorsCombo()->currentText(), "2.0");
    if (dialog.isVisible()) {
        dialog.accept();
    }
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.texts().injectorsFitted, "2.0");
    EXPECT_EQ(dialog.texts().make, "Fiat");
}

TEST_F(CarInfoDlgTest, ChoosingAMakeFillsItsModelsAndEmptiesTheRest) {
    device_info_t record;
    CCarInfoDlg dialog(nullptr, &preferences, record, QString::fromStdString(root));
    dialog.yearEdit()->setText("1999");
    const int opel = dialog.makeCombo()->findText("Opel");
    ASSERT_GE(opel, 0);
    emit dialog.makeCombo()->activated(opel);
    EXPECT_EQ(dialog.modelCombo()->count(), 2);
    EXPECT_EQ(dialog.modelCombo()->currentText(), "Astra");
    EXPECT_EQ(dialog.yearEdit()->text(), "");
}

// Make and model that match one car of the library fill in the rest of it; a model
// without a stored car leaves them empty.
TEST_F(CarInfoDlgTest, AMakeAndModelOfOneStoredCarFillTheRest) {
    storeLastFile("CTRL-1");
    device_info_t record;
    record.id = "OTHER";
    CCarInfoDlg dialog(nullptr, &preferences, record, QString::fromStdString(root));
    emit dialog.makeCombo()->activated(dialog.makeCombo()->findText("Opel"));
    ASSERT_EQ(dialog.modelCombo()->currentText(), "Astra");
    EXPECT_EQ(dialog.yearEdit()->text(), "2003");
    EXPECT_EQ(dialog.capacityEdit()->text(), "1.6");
    EXPECT_EQ(dialog.powerEdit()->text(), "101");
    EXPECT_EQ(dialog.injectorsCombo()->currentText(), "2.5");
    const int corsa = dialog.modelCombo()->findText("Corsa");
    dialog.modelCombo()->setCurrentIndex(corsa);
    emit dialog.modelCombo()->activated(corsa);
    EXPECT_EQ(dialog.powerEdit()->text(), "");
    EXPECT_EQ(dialog.capacityEdit()->text(), "");
}

TEST_F(CarInfoDlgTest, TheLastFileFillsTheFieldsOnlyForTheSameController) {
    storeLastFile("CTRL-1");
    device_info_t record;
    record.id = "CTRL-1";
    {
        CCarInfoDlg dialog(nullptr, &preferences, record, QString::fromStdString(root));
        EXPECT_EQ(dialog.makeCombo()->currentText(), "Opel");
        EXPECT_EQ(dialog.powerEdit()->text(), "101");
        EXPECT_EQ(dialog.injectorsCombo()->currentText(), "2.5");
    }
    record.id = "OTHER";
    car_texts_t{"Fiat", "Punto", "1.2", "60", "", "2.0", ""}.toRecord(record);
    CCarInfoDlg other(nullptr, &preferences, record, QString::fromStdString(root));
    EXPECT_EQ(other.makeCombo()->currentText(), "Fiat");
    EXPECT_EQ(other.powerEdit()->text(), "60");
}

TEST(VersionDlgTest, ReadsOnOpeningAndWritesOnlyAWholeDate) {
    AppFixture app;
    app.sim().setProgrammingDay(396);
    app.sim().setId("ABC");
    app.doc().OnNewDocument();
    CLPGDevVersionDlg dialog(nullptr, app.doc());
    EXPECT_EQ(dialog.dateEdit()->text(), "02/05/2005");
    EXPECT_EQ(dialog.idEdit()->text(), "ABC");
    dialog.dateEdit()->setText("01/04/2004");
    dialog.idEdit()->setText("NEW-ID");
    dialog.onWrite();
    EXPECT_EQ(app.sim().id(), "NEW-ID");
    EXPECT_EQ(app.sim().versionRecord()[0], 0);
    EXPECT_EQ(app.sim().versionRecord()[1], 0);
    const std::size_t before = app.sim().requestCount();
    dialog.dateEdit()->setText("1/4/2004");
    dialog.onWrite();
    EXPECT_EQ(app.sim().requestCount(), before);
    ASSERT_EQ(app.boxes.size(), 1u);  // why nothing was sent
    EXPECT_EQ(app.boxes[0], CLPGDevVersionDlg::dateRefusal("1/4/2004"));
}

TEST(RSSetupDlgTest, AcceptsPorts1To4OrADevicePath) {
    AppFixture app;
    CRSSetupDlg dialog;
    auto* edit = dialog.findChild<QLineEdit*>("port");
    edit->setText("5");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(app.boxes.size(), 1u);
    edit->setText("3");
    dialog.accept();
    EXPECT_EQ(dialog.port(), 3);
    EXPECT_TRUE(dialog.devicePath().isEmpty());
    edit->setText("/dev/ttyUSB0");
    dialog.accept();
    EXPECT_EQ(dialog.devicePath(), "/dev/ttyUSB0");
}

TEST(RSSetupDlgTest, AnAdapterHoldingRepliesShowsItsTimerAndWhatToDo) {
    AppFixture app;
    CFakeSystem system;
    system.addDevice("ttyUSB0");
    system.setLatencyTimer("ttyUSB0", 16);
    CRSSetupDlg dialog;
    auto* ports = dialog.findChild<QTreeWidget*>("ports");
    ASSERT_EQ(ports->topLevelItemCount(), 1);
    EXPECT_EQ(ports->headerItem()->text(3), "Opóźnienie");
    EXPECT_EQ(ports->topLevelItem(0)->text(3), "16 ms");
    ports->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(dialog.findChild<QLabel*>("problem")->text().toStdString(),
              CPortList::latencyAdvice(16));
    // A look at it: VAPRON_PORTS_SHOT=FILE saves the dialog as it opens.
    if (const char* shot = std::getenv("VAPRON_PORTS_SHOT")) {
        dialog.show();
        dialog.adjustSize();
        QTest::qWait(100);
        dialog.grab().save(shot);
    }
}

TEST(AboutDlgTest, NamesTheControllerVersionWhenConnected) {
    AppFixture app;
    CAboutDlg unconnected(nullptr, &app.doc());
    EXPECT_EQ(unconnected.versionLine(), "");
    app.doc().OnNewDocument();
    CAboutDlg connected(nullptr, &app.doc());
    EXPECT_EQ(connected.versionLine(), "Wersja urządzenia: 4, 1, 2, 263, 5");
    EXPECT_TRUE(app.boxes.empty());
}

}  // namespace
