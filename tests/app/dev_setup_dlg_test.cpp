// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>

#include "app/lpg_bar.h"
#include "app_fixture.h"
#include "display/chart_window.h"
#include "link/device_info.h"
#include "link/protocol.h"
#include "settings/car_info.h"
#include "settings/car_texts.h"
#include "settings/program_folders.h"
#include "settings/record_copy.h"
#include "settings/ui/car_info_dlg.h"
#include "settings/ui/car_settings_dlg.h"
#include "settings/ui/dev_setup_dlg.h"

namespace {

using Answer = CMessageBox::Answer;

// Offsets in the settings line the simulated controller holds.
constexpr std::size_t kLineMainCorr = 7;
constexpr std::size_t kLineFlags = 9;
constexpr std::size_t kLineMasks = 13;
constexpr std::size_t kLineInjType = 23;

// A connected document whose car information is given, with questions answered `answer`.
struct Connected {
    explicit Connected(std::uint8_t flags = 0x13, std::uint8_t injType = 0,
                       std::uint8_t firstMask = 1) {
        auto line = app.sim().setup();
        line[kLineFlags] = flags;
        line[kLineInjType] = injType;
        line[kLineMasks] = firstMask;
        app.sim().setSetup(line);
        app.doc().OnNewDocument();
        app.doc().setCarInfoGiven(true);
        CMessageBox::setShower(
            [this](QWidget*, const QString& text, CMessageBox::Icon, CMessageBox::Buttons buttons) {
                app.boxes.push_back(text);
                return buttons == CMessageBox::Buttons::Ok ? Answer::Ok : answer;
            });
        app.sim().clearRequests();
    }
    // Requests since opening: settings writes and reset requests, in order.
    std::string trail() {
        std::string text;
        for (const sim_request_t& r : app.sim().requests()) {
            if (r.type == proto::MSG_TYPE_SETUP) {
                text += "write ";
            } else if (r.command == proto::CMD_CLEAR_ERRORS) {
                text += "reset ";
            } else if (r.command == proto::CMD_SETUP) {
                text += "read ";
            }
        }
        return text;
    }

    AppFixture app;
    Answer answer = Answer::No;
};

TEST(DevSetupDlgTest, WhatIsWrittenReachesTheControllerAndATypeChangeResetsIt) {
    struct case_t {
        const char* name;
        std::uint8_t flags, injType, firstMask;
        std::function<void(CDevSetupDlg&)> change;
        bool byClosing;  // "Tak" to the closing question instead of "Wpisz do urządzenia"
        std::uint8_t flagsOut, injTypeOut, firstMaskOut, mainCorrOut;
        const char* trail;
    };
    const case_t cases[] = {
        {"main correction off keeps bits 5 and 6", 0x73, 0, 1,
         [](CDevSetupDlg& d) { d.mainCorrectionBox()->setChecked(false); }, false, 0x63, 0, 1, 40,
         "read write "},
        {"full to semi-sequential resets", 0x13, 0, 1,
         [](CDevSetupDlg& d) { d.typeRadio(2)->setChecked(true); }, false, 0x13, 0x02, 1, 40,
         "read write reset "},
        // The reset follows what the controller holds, not the record the defaults replaced.
        {"factory defaults of another type reset", 0x13, 0x02, 1,
         [](CDevSetupDlg& d) { d.factoryButton()->click(); }, false, 0x13, 0x00, 1, 40,
         "read write reset "},
        {"no type change, no reset; a decimal comma", 0x13, 0x01, 1,
         [](CDevSetupDlg& d) { d.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->setText("1,5"); }, false,
         0x13, 0x01, 1, 60, "read write "},
        // Masks cannot be edited here: several bits, or none, go back as read.
        {"mask 12 shows injector 3 and is written back", 0x13, 0, 12,
         [](CDevSetupDlg& d) {
             EXPECT_EQ(d.injectorEdit(0)->text(), "3");
             EXPECT_FALSE(d.injectorEdit(0)->isEnabled());
         },
         false, 0x13, 0, 12, 40, "read write "},
        {"an empty mask stays empty", 0x13, 0, 0, [](CDevSetupDlg&) {}, false, 0x13, 0, 0, 40,
         "read write "},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        Connected fixture(c.flags, c.injType, c.firstMask);
        fixture.answer = Answer::Yes;
        CDevSetupDlg dialog(nullptr, fixture.app.doc());
        c.change(dialog);
        if (c.byClosing) {
            dialog.accept();
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        } else {
            dialog.writeButton()->click();
        }
        const auto line = fixture.app.sim().setup();
        EXPECT_EQ(line[kLineFlags], c.flagsOut);
        EXPECT_EQ(line[kLineInjType], c.injTypeOut);
        EXPECT_EQ(line[kLineMasks], c.firstMaskOut);
        EXPECT_EQ(line[kLineMainCorr], c.mainCorrOut);
        EXPECT_EQ(fixture.trail(), c.trail);
        // The closing question, or the factory defaults' question.
        const bool asked = c.byClosing || std::string(c.name).rfind("factory", 0) == 0;
        EXPECT_EQ(fixture.app.boxes.size(), asked ? 1u : 0u);
    }
}

TEST(DevSetupDlgTest, ARefusedNumberWritesNothingAndChangedValuesAreMarked) {
    Connected fixture;
    fixture.answer = Answer::Yes;
    CDevSetupDlg dialog(nullptr, fixture.app.doc());
    QLineEdit* main = dialog.fieldEdit(CDevSetupDlg::MAIN_CORRECTION);
    QLineEdit* delay = dialog.fieldEdit(CDevSetupDlg::LPG_INJ_DELAY);
    EXPECT_FALSE(CDevSetupDlg::marked(main));
    main->setText("1,0");
    EXPECT_FALSE(CDevSetupDlg::marked(main));  // the same value as the controller's
    main->setText("1,5");
    dialog.pressureCorrectionBox()->setChecked(false);
    EXPECT_TRUE(CDevSetupDlg::marked(main));
    EXPECT_TRUE(CDevSetupDlg::marked(dialog.pressureCorrectionBox()));
    EXPECT_FALSE(CDevSetupDlg::marked(dialog.mainCorrectionBox()));

    delay->setText("abc");
    EXPECT_TRUE(CDevSetupDlg::marked(delay));
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.writeButton()->click();
    dialog.accept();  // "Tak": the refusal again, and the dialog stays open
    EXPECT_EQ(finished.count(), 0);
    const QString refusal = "Wpisz liczbę w polu „Opóźnienie wtrysku LPG [ms]”.\nWpisano: „abc”";
    // The question names what would be lost.
    const QString question = QString(CDevSetupDlg::kUnwrittenHeading) +
                             " Główna poprawka [ms], Opóźnienie wtrysku LPG [ms], Poprawki od "
                             "ciśnienia różnicowego.\n" +
                             CDevSetupDlg::kCloseQuestion;
    EXPECT_EQ(fixture.app.boxes, (std::vector<QString>{refusal, question, refusal}));
    EXPECT_EQ(fixture.trail(), "read ");
    EXPECT_EQ(delay->text(), "abc");

    delay->setText("0,5");
    dialog.writeButton()->click();
    EXPECT_EQ(fixture.trail(), "read write ");
    EXPECT_EQ(fixture.app.sim().setup()[1], 20);  // 0.5 ms in 25 µs ticks
    EXPECT_FALSE(CDevSetupDlg::marked(main));
    EXPECT_FALSE(CDevSetupDlg::marked(delay));
    EXPECT_FALSE(CDevSetupDlg::marked(dialog.pressureCorrectionBox()));
}

// "Wróć do edycji" keeps the dialog open with what was typed; nothing is written.
TEST(DevSetupDlgTest, TheWayBackFromTheClosingQuestionKeepsTheEdits) {
    for (const bool connected : {true, false}) {
        Connected fixture;
        CDevSetupDlg dialog(nullptr, fixture.app.doc());
        dialog.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->setText("1,5");
        if (!connected) {
            fixture.app.doc().OnCloseDocument();
        }
        fixture.answer = connected ? Answer::Cancel : Answer::No;
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.reject();
        EXPECT_EQ(finished.count(), 0) << connected;
        EXPECT_EQ(dialog.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->text(), "1,5");
        EXPECT_EQ(fixture.trail(), "read ");
    }
}

TEST(DevSetupDlgTest, TheFeatureWordEnablesTheTypeAndHidesTheMasks) {
    for (std::uint32_t features : {0x1u, 0x4u}) {
        SCOPED_TRACE(features);
        AppFixture app;
        app.sim().setClock({features, 2, 263, 5, CControllerSim::kDefaultClockHz});
        app.doc().OnNewDocument();
        CDevSetupDlg dialog(nullptr, app.doc());
        const bool typeChosen = features & 1;
        EXPECT_EQ(dialog.typeRadio(1)->isEnabled(), typeChosen);
        EXPECT_EQ(dialog.describeButton()->isEnabled(), typeChosen);
        EXPECT_EQ(dialog.maskGroup()->isHidden(), (features & 4) != 0);
        EXPECT_FALSE(dialog.injectorEdit(0)->isEnabled());
        EXPECT_FALSE(dialog.masksOnBox()->isEnabled());
        EXPECT_TRUE(dialog.writeFileButton()->isHidden());
        EXPECT_FALSE(dialog.fieldEdit(CDevSetupDlg::TIME_AVERAGING)->isEnabled());
        dialog.allowChangeBox()->setChecked(true);
        EXPECT_TRUE(dialog.fieldEdit(CDevSetupDlg::TIME_AVERAGING)->isEnabled());
        EXPECT_TRUE(dialog.fieldEdit(CDevSetupDlg::PRESSURE_AVERAGING)->isEnabled());
    }
}

// Stores a settings file of `version` for the car Opel Astra 1.6 and controller `id`.
void storeSettings(std::uint16_t version, const std::string& id, double mainCorrection) {
    device_info_t info;
    info.version = version;
    info.id = id;
    car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(info);
    info.setup.mainCorrection = mainCorrection;
    info.notes = "z pliku";
    const std::time_t now = std::time(nullptr);
    info.timeStamp = CCarInfo::timeStampText(now);
    const std::string root = CProgramFolders::carSettingsRoot();
    ASSERT_TRUE(
        CCarInfo::storeCarSettingsFile(CCarInfo::carSettingsPath(root, info, now), info, nullptr));
}

// Answers the car settings chooser with the row of controller `id`.
std::function<int(QDialog&)> chooseFileOf(const QString& id) {
    return [id](QDialog& dialog) {
        auto& chooser = dynamic_cast<CCarSettingsDlg&>(dialog);
        emit chooser.makeCombo()->activated(chooser.makeCombo()->findText("Opel"));
        chooser.find();
        for (int row = 0; row < chooser.list()->rowCount(); ++row) {
            if (chooser.list()->item(row, car_settings_row_t::ID)->text() == id) {
                chooser.list()->selectRow(row);
            }
        }
        chooser.accept();
        return chooser.result();
    };
}

TEST(DevSetupDlgTest, AFileOfAnotherVersionIsRefusedAndFactoryDefaultsAreNotWritten) {
    Connected fixture;
    storeSettings(3, "OLDVERSION000003", 2.0);
    storeSettings(4, "NEWVERSION000004", 1.75);
    CDevSetupDlg dialog(nullptr, fixture.app.doc());
    QLineEdit* main = dialog.fieldEdit(CDevSetupDlg::MAIN_CORRECTION);
    const device_info_t before = fixture.app.doc().info();

    fixture.app.onDialog = chooseFileOf("OLDVERSION000003");
    dialog.fileButton()->click();
    EXPECT_EQ(fixture.app.boxes, std::vector<QString>{CRecordCopy::kOtherVersionText});
    EXPECT_EQ(fixture.app.doc().info(), before);

    fixture.app.onDialog = chooseFileOf("NEWVERSION000004");
    dialog.fileButton()->click();
    EXPECT_EQ(main->text(), "1.75");
    EXPECT_EQ(dialog.notesEdit()->text(), "z pliku");
    EXPECT_EQ(fixture.app.doc().info().id, before.id);
    EXPECT_TRUE(CDevSetupDlg::marked(main));

    fixture.answer = Answer::Yes;
    dialog.factoryButton()->click();
    EXPECT_EQ(fixture.app.boxes.back(), CDevSetupDlg::kFactoryQuestion);
    EXPECT_EQ(main->text(), "1");
    EXPECT_EQ(dialog.notesEdit()->text(), "");
    EXPECT_EQ(fixture.trail(), "read ");
}

TEST(DevSetupDlgTest, WithoutAControllerARecordingsSnapshotIsChosenAndShown) {
    AppFixture app;  // a controller on the line, but never connected
    const QString path = app.home() + "/run.lpgd";
    {
        std::ofstream out(path.toStdString(), std::ios::binary);
        for (int i = 1; i <= 900; ++i) {
            out << i
                << "\t1\t2\t0\t4000\t4000\t120\t0\t0\t120\t133\t133\t90\t85\t50\t60\t0\t80\r\n";
        }
        std::ofstream companion(path.toStdString() + "-config", std::ios::binary);
        for (std::uint32_t position : {100u, 250u}) {
            device_info_t snapshot;
            snapshot.version = 4;
            snapshot.id = "SNAPSHOT00000001";
            snapshot.timeStamp = "02-03-2024-10:00:0" + std::to_string(position % 7);
            snapshot.notes = "po " + std::to_string(position);
            snapshot.recordPosition = position;
            snapshot.setup.mainCorrection = position / 100.0;
            const auto image = snapshot.toBytes();
            companion.write(reinterpret_cast<const char*>(image.data()), image.size());
        }
    }
    app.nextFile = path;
    app.doc().loadRecording();
    ASSERT_FALSE(app.doc().isConnected());
    app.sim().clearRequests();
    QSignalSpy tableReplaced(&app.doc(), &CDeviceDoc::timeTableReplaced);

    bool opened = false;
    app.onDialog = [&](QDialog& shown) {
        auto& dialog = dynamic_cast<CDevSetupDlg&>(shown);
        opened = true;
        EXPECT_FALSE(dialog.readButton()->isEnabled());
        EXPECT_FALSE(dialog.writeButton()->isEnabled());
        QTableWidget* list = dialog.snapshotList();
        EXPECT_TRUE(list->isEnabled());
        EXPECT_EQ(list->rowCount(), 2);
        EXPECT_EQ(list->item(1, 0)->text(), "02-03-2024-10:00:05");
        EXPECT_EQ(list->item(1, 1)->text(), "po 250");
        dialog.chooseSnapshot(1);
        EXPECT_EQ(dialog.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->text(), "2.5");
        dialog.accept();
        return dialog.result();
    };
    app.doc().onManualSettings();
    EXPECT_TRUE(opened);
    EXPECT_EQ(app.doc().info().id, "SNAPSHOT00000001");
    EXPECT_EQ(app.doc().info().notes, "po 250");
    EXPECT_EQ(tableReplaced.count(), 1);
    EXPECT_EQ(CChartWindow::start(), 250);
    EXPECT_EQ(CChartWindow::end(), 750);
    EXPECT_TRUE(app.boxes.empty());  // no closing question over a recording
    EXPECT_EQ(app.sim().requestCount(), 0u);
}

TEST(DevSetupDlgTest, StoredErrorsKeepTheEditorClosed) {
    for (bool errors : {true, false}) {
        SCOPED_TRACE(errors);
        AppFixture app;
        app.doc().OnNewDocument();
        if (errors) {
            app.sim().setErrorReport({0, 0, 0, 0, 0x05, 0, 0, 0, 0, 0, 0});
        }
        app.doc().onManualSettings();
        EXPECT_EQ(app.dialogTitles, std::vector<QString>{errors ? "Kody błędów urządzenia"
                                                                : "Ustawienia urządzenia"});
        if (errors) {
            EXPECT_EQ(app.boxes, std::vector<QString>{"Sterownik LPG sygnalizuje błędy!\nSkasuj "
                                                      "błędy i ponownie wczytaj ustawienia"});
        }
    }
}

// Closing asks only about what the controller does not hold yet; a write says when.
TEST(DevSetupDlgTest, ClosingAfterAWriteOrWithoutChangesAsksNothing) {
    Connected fixture;
    fixture.answer = Answer::Yes;
    CDevSetupDlg dialog(nullptr, fixture.app.doc());
    EXPECT_TRUE(dialog.unwrittenChanges().isEmpty());
    dialog.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->setText("1,5");
    EXPECT_EQ(dialog.unwrittenChanges(), QStringList{"Główna poprawka [ms]"});
    dialog.writeButton()->click();
    EXPECT_TRUE(dialog.writtenNote().startsWith("Ustawienia wpisano do urządzenia o "));
    EXPECT_EQ(fixture.app.frame().bar()->text(), dialog.writtenNote());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(fixture.app.boxes.empty());
    EXPECT_EQ(fixture.trail(), "read write ");
}

}  // namespace

namespace {

// Answers the car dialog with make X, model Y.
int giveCar(QDialog& dialog) {
    auto& car = dynamic_cast<CCarInfoDlg&>(dialog);
    car.makeCombo()->setCurrentText("X");
    car.modelCombo()->setCurrentText("Y");
    car.capacityEdit()->setText("1.6");
    car.powerEdit()->setText("90");
    car.accept();
    return car.result();
}

}  // namespace

// Two writes from one editor with the car dialog in between: both are filed under the
// car, each as the controller stores it, and the editor then shows the controller's
// values. A car file holds what the controller holds after every write.
TEST(DevSetupDlgTest, EveryWriteOfAnEditorSessionIsFiledAsTheControllerHoldsIt) {
    Connected fixture;
    CDeviceDoc& doc = fixture.app.doc();
    doc.setCarInfoGiven(false);
    fixture.app.onDialog = giveCar;
    CDevSetupDlg dialog(nullptr, doc);
    const struct {
        const char* delay;
        double stored;
    } writes[] = {{"2", 2.0}, {"2,7", 2.5}};
    for (const auto& w : writes) {
        SCOPED_TRACE(w.delay);
        dialog.fieldEdit(CDevSetupDlg::EMULATOR_DELAY)->setText(w.delay);
        dialog.notesEdit()->setText(QString("uwagi ") + w.delay);
        dialog.writeButton()->click();
        EXPECT_EQ(dialog.fieldEdit(CDevSetupDlg::EMULATOR_DELAY)->text(),
                  QString::number(w.stored));
        device_info_t filed;
        ASSERT_TRUE(CCarInfo::readCarSettingsFile(fixture.app.preferences().lastCarFile(), filed));
        EXPECT_EQ(filed.make, "X");
        EXPECT_EQ(filed.notes, std::string("uwagi ") + w.delay);
        EXPECT_DOUBLE_EQ(filed.setup.emulatorDelay, w.stored);
        EXPECT_EQ(filed.setup, doc.heldSetup());
        dev_setup_t controller;
        ASSERT_TRUE(onWorker([&] { return doc.readSetup(controller); }));
        EXPECT_EQ(filed.setup, controller);
    }
    EXPECT_EQ(fixture.app.dialogTitles.size(), 1u);  // the car is asked once
    // The second write said once what the controller stored instead of what was typed.
    ASSERT_FALSE(fixture.app.boxes.empty());
    EXPECT_NE(fixture.app.boxes.back().indexOf("sterownik zapisał 2,5 s zamiast 2,7 s"), -1);
}

namespace {

// A time-correction table edited in its pane and never written does not switch the
// controller's table on when the editor writes the settings, nor go into the file.
TEST(DevSetupDlgTest, AnUnwrittenTableEditSwitchesNothingOn) {
    Connected fixture(0x13);
    fixture.app.doc().info().timeTable.fill(0);
    fixture.app.doc().info().timeTable[3] = 5;  // an arrow click in the pane
    CDevSetupDlg dialog(nullptr, fixture.app.doc());
    dialog.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->setText("1,5");
    dialog.writeButton()->click();
    EXPECT_EQ(fixture.app.sim().setup()[kLineMainCorr], 60);
    EXPECT_EQ(fixture.app.sim().setup()[kLineFlags] & dev_setup_t::FLAG_TIME_TABLE, 0);
}

}  // namespace
