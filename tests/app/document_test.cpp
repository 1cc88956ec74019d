// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "app/device_menu.h"
#include "app/err_codes_dlg.h"
#include "app/lpg_bar.h"
#include "app/passwd_dlg.h"
#include "app/rs_setup_dlg.h"
#include "app_fixture.h"
#include "link/device_errors.h"
#include "screenshot.h"
#include "settings/ui/car_info_dlg.h"
#include "support/thread_manager.h"
#include "widgets/elided_label.h"

namespace {

using Id = CDeviceMenu::Id;

bool enabled(AppFixture& app, Id id) {
    app.window().deviceMenu()->update();
    return app.window().deviceMenu()->action(id)->isEnabled();
}

// Answers the password dialog with `text`; records whether it closed.
std::function<int(QDialog&)> typePassword(const QString& text, bool& closed) {
    return [text, &closed](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("password")->setText(text);
        dialog.accept();
        closed = dialog.result() == QDialog::Accepted;
        return dialog.result();
    };
}

TEST(DocumentTest, WithoutAControllerOnlyTheFreeCommandsAreAvailable) {
    AppFixture app(false);
    QString reason;
    app.onDialog = [&](QDialog& dialog) {
        if (auto* port = dynamic_cast<CRSSetupDlg*>(&dialog)) {
            reason = port->reason();
        }
        return int(QDialog::Rejected);
    };
    app.doc().OnNewDocument();
    // The port question says why it is asked: the ports tried and what they gave.
    EXPECT_TRUE(reason.startsWith("Nie znaleziono sterownika. Sprawdzono:\n"))
        << reason.toStdString();
    EXPECT_EQ(app.doc().connectAttempts().size(), 4u);
    EXPECT_FALSE(app.doc().isConnected());
    ASSERT_FALSE(app.boxes.empty());
    EXPECT_EQ(app.boxes.back(), "Połączenie z urządzeniem nie zostało nawiązane");
    EXPECT_EQ(app.dialogTitles, std::vector<QString>{"Ustawienia RS232"});
    EXPECT_EQ(app.frame().bar()->connectionText(), "Brak połączenia");

    for (Id id :
         {Id::ID_EEPROM_READ, Id::ID_EEPROM_WRITE, Id::ID_DEVICE_VERSION, Id::ID_DIAGNOSTIC,
          Id::ID_ERRORS_READ, Id::ID_ERRORS_CLEAR, Id::ID_INJ_SEQUENCE, Id::ID_MANUAL_SETTINGS}) {
        EXPECT_FALSE(enabled(app, id)) << id;
    }
    for (Id id : {Id::ID_MAP_PANE, Id::ID_UNLOCK, Id::ID_ABOUT, Id::ID_LOAD_RECORDING}) {
        EXPECT_TRUE(enabled(app, id)) << id;
    }
    EXPECT_FALSE(app.window().openAction()->isEnabled());
    EXPECT_TRUE(app.window().aboutAction()->isEnabled());
}

TEST(DocumentTest, UnlockEnablesTheServiceCommandsAtOnceAndAWrongPasswordKeepsItOpen) {
    AppFixture app;
    app.doc().OnNewDocument();
    ASSERT_TRUE(app.doc().isConnected());
    EXPECT_EQ(app.frame().bar()->connectionText(), "Połączony");
    EXPECT_FALSE(enabled(app, Id::ID_EEPROM_READ));

    bool closed = true;
    app.onDialog = typePassword("kluczeserwisow", closed);
    app.doc().onUnlock();
    EXPECT_FALSE(closed);
    EXPECT_FALSE(app.doc().unlocked());
    ASSERT_EQ(app.boxes.size(), 1u);  // the wrong password is said so
    EXPECT_TRUE(app.boxes[0].startsWith("Niepoprawne hasło"));

    app.onDialog = typePassword("KluczeSerwisow", closed);
    app.doc().onUnlock();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(enabled(app, Id::ID_EEPROM_READ));
    EXPECT_TRUE(enabled(app, Id::ID_EEPROM_WRITE));
    EXPECT_TRUE(enabled(app, Id::ID_DEVICE_VERSION));
}

TEST(DocumentTest, ErrorsFromAControllerWithNoneShowOnlyTheNoErrorsBox) {
    AppFixture app;
    app.doc().OnNewDocument();
    app.dialogTitles.clear();
    app.doc().onErrorsRead();
    EXPECT_EQ(app.boxes, std::vector<QString>{"Brak błędów."});
    EXPECT_TRUE(app.dialogTitles.empty());

    // The codes as the controller names them, and what to check for each family.
    app.sim().setErrorReport({0, 0, 0, 0, 0x05, 0x10, 0, 0, 0, 0, 0});
    QString codes, advice;
    app.onDialog = [&](QDialog& dialog) {
        auto& errors = dynamic_cast<CErrCodesDlg&>(dialog);
        codes = errors.text();
        advice = errors.adviceText();
        errors.resize(errors.sizeHint());
        EXPECT_LE(errors.width(), 1024);
        EXPECT_LE(errors.height(), 768);
        EXPECT_TRUE(keepScreenshot(errors, "error-window"));
        return int(QDialog::Accepted);
    };
    app.doc().onErrorsRead();
    EXPECT_EQ(app.dialogTitles, std::vector<QString>{"Kody błędów urządzenia"});
    EXPECT_NE(codes.indexOf("ERROR_INJECTOR1"), -1);
    EXPECT_EQ(advice, QString("Co sprawdzić:\n• ") + errorAdvice(error_family_t::Injector) +
                          "\n• " + errorAdvice(error_family_t::Supply));
    // The red indicator opens the error window too.
    app.frame().bar()->showControllerError(true);
    QTest::mouseClick(app.frame().bar()->findChild<QWidget*>("error"), Qt::LeftButton);
    EXPECT_EQ(app.dialogTitles.size(), 2u);
    // Clearing is asked first: No keeps the codes, Yes clears them.
    for (const auto answer : {CMessageBox::Answer::No, CMessageBox::Answer::Yes}) {
        app.boxes.clear();
        app.answer = [answer](const QString&, CMessageBox::Buttons) { return answer; };
        app.doc().onErrorsClear();
        EXPECT_EQ(app.boxes, std::vector<QString>{CDeviceDoc::kClearErrorsQuestion});
        EXPECT_EQ(app.sim().errorReport()[4], answer == CMessageBox::Answer::Yes ? 0 : 0x05);
    }
    EXPECT_EQ(app.frame().bar()->errorText(), "");
}

// The bar keeps the job's car and the controller's ID in sight once connected, and
// follows the car dialog.
TEST(DocumentTest, TheBarNamesTheCarAndTheController) {
    AppFixture app;
    app.sim().setId("AB1234");
    CLPGBar& bar = *app.frame().bar();
    EXPECT_EQ(bar.carText(), "");
    app.doc().OnNewDocument();
    // The controller's record may name an earlier job's car: none is shown until given.
    EXPECT_EQ(bar.carText(), "Samochód nie podany · sterownik AB1234");
    app.onDialog = [](QDialog& dialog) {
        auto& car = dynamic_cast<CCarInfoDlg&>(dialog);
        car.makeCombo()->setEditText("Fiat");
        car.modelCombo()->setEditText("Punto");
        car.capacityEdit()->setText("1.2");
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(app.doc().askCarInfo());
    EXPECT_EQ(bar.carText(), "Fiat Punto 1.2 · sterownik AB1234");
    // A message takes the field for a while; then the car is back.
    const auto* field = bar.findChild<CElidedLabel*>("text");
    EXPECT_EQ(field->fullText(), bar.carText());
    bar.setTextShownMs(1);
    bar.setText("Wpisano.");
    EXPECT_EQ(field->fullText(), "Wpisano.");
    EXPECT_TRUE(waitUntil([&] { return field->fullText() == bar.carText(); }));
}

TEST(DocumentTest, EepromFilesAreCheckedBeforeAnythingIsWritten) {
    AppFixture app;
    app.doc().OnNewDocument();
    const QString shortFile = app.home() + "/short.eeprom";
    const QString longFile = app.home() + "/long.eeprom";
    {
        std::ofstream(shortFile.toStdString(), std::ios::binary) << std::string(511, '\x11');
        std::ofstream(longFile.toStdString(), std::ios::binary)
            << std::string(512, '\x22') << std::string(88, '\x33');
    }
    const auto before = app.sim().eeprom();
    app.nextFile = shortFile;
    app.doc().writeEepromFromFile();
    EXPECT_EQ(app.boxes, std::vector<QString>{"Niepoprawny format pliku EEPROM!"});
    EXPECT_EQ(app.sim().eeprom(), before);
    EXPECT_TRUE(app.lastFolder.endsWith("/Dane/"));

    app.nextFile = longFile;
    app.answer = [](const QString&, CMessageBox::Buttons) { return CMessageBox::Answer::Yes; };
    app.doc().writeEepromFromFile();
    EXPECT_EQ(app.boxes.size(), 3u);  // the question and the confirmation
    for (auto byte : app.sim().eeprom())
        ASSERT_EQ(byte, 0x22);

    const QString backup = app.home() + "/backup.eeprom";
    app.nextFile = backup;
    app.doc().readEepromToFile();
    QFile saved(backup);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray(512, '\x22'));
}

// Cancelling the dialog starts nothing (DiagRunsTest.CancelInTheSaveDialogTouchesNoFile).
TEST(DocumentTest, DiagnosticsRecordIntoTheChosenFileAndStopCleanly) {
    AppFixture app;
    app.doc().OnNewDocument();
    const QString expected = app.home() + "/Dane/Diagnostyka.lpgd";
    app.nextFile = expected;
    app.doc().onDiagnostic();
    EXPECT_TRUE(app.doc().diagOn());
    EXPECT_EQ(QString::fromStdString(app.doc().recordingName()), expected);
    EXPECT_EQ(app.doc().title(), "Vapron - " + expected);
    EXPECT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 20; }));
    app.doc().onDiagnostic();
    EXPECT_FALSE(app.doc().diagOn());
    EXPECT_TRUE(waitUntil([] { return CThreadManager::instance().running() == 0; }));
    EXPECT_EQ(app.doc().title(), "Vapron");
    EXPECT_TRUE(QFile::exists(expected));
    EXPECT_TRUE(QFile::exists(expected + "-config"));
}

TEST(DocumentTest, ReplayFillsTheStoreAndKeepsThePathInTheTitle) {
    AppFixture app;
    const QString path = app.home() + "/run.lpgd";
    {
        std::ofstream out(path.toStdString(), std::ios::binary);
        for (int i = 1; i <= 300; ++i) {
            out << i
                << "\t1\t2\t0\t4000\t4000\t120\t0\t0\t120\t133\t133\t90\t85\t50\t60\t0\t80\r\n";
        }
    }
    app.nextFile = path;
    app.doc().loadRecording();
    EXPECT_FALSE(app.doc().diagOn());
    EXPECT_EQ(app.doc().store().getSize(), 300);
    EXPECT_EQ(app.doc().title(), "Vapron - " + path);
    EXPECT_EQ(QString::fromStdString(app.doc().recordingName()), path);
    // A recording is enough for the manual settings command.
    EXPECT_TRUE(enabled(app, Id::ID_MANUAL_SETTINGS));
}

TEST(DocumentTest, ReplayOfAMissingFileDoesNotHang) {
    AppFixture app;
    app.nextFile = app.home() + "/missing.lpgd";
    app.doc().loadRecording();
    EXPECT_FALSE(app.doc().diagOn());
    EXPECT_EQ(app.doc().store().getSize(), 0);
}

TEST(DocumentTest, ClosingWithDiagnosticsRunningLeavesNoThreadAndACompleteRecording) {
    AppFixture app;
    app.doc().OnNewDocument();
    app.doc().quickStartDiagnostics();
    ASSERT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 50; }));
    const std::string recording = app.doc().recordingName();
    app.doc().OnCloseDocument();
    EXPECT_EQ(CThreadManager::instance().running(), 0u);
    EXPECT_FALSE(app.doc().line().isOpen());
    // Every line of the recording is whole and there is one per stored sample.
    std::ifstream in(recording, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(content.empty());
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
    const auto lines = std::count(content.begin(), content.end(), '\n');
    EXPECT_EQ(lines, app.doc().store().getSize());
}

TEST(DocumentTest, PanesCollapseAndTheMapPushesAutoCalibrationAside) {
    AppFixture app;
    app.window().resize(1200, 800);
    app.window().show();
    EXPECT_EQ(app.frame().paneWidth(CDeviceFrame::AUTO_SETUP), 0);
    EXPECT_EQ(app.frame().paneWidth(CDeviceFrame::MAP), 0);
    app.doc().toggleAutoSetupPane();
    EXPECT_EQ(app.frame().paneWidth(CDeviceFrame::AUTO_SETUP), 300);
    // Too narrow for the map beside the chart and the table: the map goes under the chart.
    app.doc().toggleMapPane();
    EXPECT_TRUE(app.frame().mapUnderChart());
    EXPECT_GT(app.frame().paneWidth(CDeviceFrame::MAP), 0);
    EXPECT_EQ(app.frame().paneWidth(CDeviceFrame::AUTO_SETUP), 0);
    EXPECT_TRUE(app.doc().autoSetupShown());  // the menu keeps its check mark
    app.doc().toggleMapPane();
    EXPECT_EQ(app.frame().paneWidth(CDeviceFrame::MAP), 0);
    EXPECT_FALSE(app.frame().mapUnderChart());
    // Wide enough, the map stands in a column of its own beside the chart and the table.
    app.window().resize(1900, 1000);
    QApplication::processEvents();
    app.doc().toggleMapPane();
    EXPECT_FALSE(app.frame().mapUnderChart());
    EXPECT_EQ(app.frame().paneWidth(CDeviceFrame::MAP), 660);
}

}  // namespace
