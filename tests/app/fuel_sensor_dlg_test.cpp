// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "app_fixture.h"
#include "recording_device_ui.h"
#include "scripted_line.h"
#include "settings/ui/fuel_sensor_dlg.h"
#include "widgets/color_static.h"

namespace {

// Failures show the boxes' texts.
std::string joined(const std::vector<QString>& texts) {
    return QStringList(texts.begin(), texts.end()).join(" / ").toStdString();
}

using Index = CFuelSensor::Index;
using Thresholds = CControllerSim::fuel_thresholds_t;

constexpr Thresholds kAeb{42, 130, 170, 225};
constexpr Thresholds kReserve{225, 170, 130, 42};
const QColor kGreen(0, 255, 0), kYellow(255, 255, 0), kRed(255, 0, 0), kGrey(50, 50, 50);

// A connected document whose boxes are answered with `answer` (questions) and recorded.
class FuelSensorDlgTest : public ::testing::Test {
  protected:
    FuelSensorDlgTest() {
        CFuelSensorDlg::setPollPeriod(60 * 60 * 1000);  // polls are driven by hand
        app.doc().OnNewDocument();
        CMessageBox::setShower(
            [this](QWidget*, const QString& text, CMessageBox::Icon, CMessageBox::Buttons b) {
                boxes.push_back(text);
                return b == CMessageBox::Buttons::Ok ? CMessageBox::Answer::Ok : answer;
            });
    }
    ~FuelSensorDlgTest() override { CFuelSensorDlg::setPollPeriod(600); }

    std::unique_ptr<CFuelSensorDlg> open() {
        boxes.clear();
        return std::make_unique<CFuelSensorDlg>(nullptr, app.doc(), app.doc().dataWrite());
    }
    static void type(CFuelSensorDlg& dialog, const std::array<QString, 4>& texts) {
        for (int i = 0; i < 4; ++i)
            dialog.thresholdEdit(Index(i))->setText(texts[i]);
    }
    static std::array<QString, 4> shown(CFuelSensorDlg& dialog) {
        std::array<QString, 4> texts;
        for (int i = 0; i < 4; ++i)
            texts[i] = dialog.thresholdEdit(Index(i))->text();
        return texts;
    }
    static std::array<QColor, 4> lamps(CFuelSensorDlg& dialog) {
        return {dialog.lamp(0)->background(), dialog.lamp(1)->background(),
                dialog.lamp(2)->background(), dialog.lamp(3)->background()};
    }
    // One tick of the poll timer, and its read shown.
    static void poll(CFuelSensorDlg& dialog) {
        dialog.onTimer();
        ASSERT_TRUE(waitUntil([&] { return !dialog.polling(); }));
    }
    // The next poll reads `reading`: the simulated float moves 3 a read, upward.
    void nextReading(int reading) { app.sim().setFuelLevel(std::uint8_t(reading - 3)); }
    std::size_t thresholdWrites() {
        std::size_t writes = 0;
        for (const auto& r : app.sim().requests())
            writes += r.type == proto::MSG_TYPE_FUEL_SENSOR;
        return writes;
    }

    // Before the document, which may still show a box while it closes.
    std::vector<QString> boxes;
    CMessageBox::Answer answer = CMessageBox::Answer::No;
    AppFixture app;
};

TEST_F(FuelSensorDlgTest, OpensFromTheMenuWithTheControllersThresholdsAndType) {
    app.sim().setFuelThresholds(kAeb);
    QString type;
    std::array<QString, 4> texts;
    bool timerRuns = false;
    app.onDialog = [&](QDialog& dialog) {
        auto& fuel = dynamic_cast<CFuelSensorDlg&>(dialog);
        type = fuel.typeCombo()->currentText();
        texts = shown(fuel);
        timerRuns = fuel.pollTimer()->isActive();
        return int(QDialog::Rejected);
    };
    app.doc().onFuelSensor();
    EXPECT_EQ(app.dialogTitles, std::vector<QString>{"Czujnik poziomu gazu"});
    EXPECT_EQ(type, "Czujnik AEB1050");
    EXPECT_EQ(texts, (std::array<QString, 4>{"42", "130", "170", "225"}));
    EXPECT_TRUE(timerRuns);

    app.sim().setFuelThresholds({10, 20, 30, 40});
    auto dialog = open();
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(dialog->typeCombo()->count(), 3);
    EXPECT_EQ(dialog->typeCombo()->itemText(0), "Czujnik AEB1050");
    EXPECT_EQ(dialog->typeCombo()->itemText(1), "Czujnik rezerwy");
    EXPECT_EQ(dialog->typeCombo()->itemText(2), "Inny");
    EXPECT_EQ(dialog->typeCombo()->currentText(), "Inny");
    EXPECT_EQ(shown(*dialog), (std::array<QString, 4>{"10", "20", "30", "40"}));
    EXPECT_EQ(dialog->readingEdit()->text().toInt(), app.sim().fuelLevel());
    EXPECT_EQ(dialog->pollTimer()->interval(), 60 * 60 * 1000);
}

TEST_F(FuelSensorDlgTest, WriteSendsOnlyCheckedValues) {
    const QString order = CFuelSensor::kOrderText;
    const struct {
        std::array<QString, 4> typed;  // 3/4, 1/2, 1/4, reserve
        QString box;                   // empty: written
        Thresholds written;
    } cases[] = {
        {{"30", "20", "10", "10"}, order, kAeb},  // reserve equal to 1/4
        {{"42", "130", "170", "100"}, order, kAeb},
        {{"abc", "130", "170", "225"},
         "Wpisz liczbę całkowitą od 0 do 255 w polu „próg między 1/1 a 3/4”.\nWpisano: „abc”",
         kAeb},
        {{"42", "130,5", "170", "225"},
         "Wpisz liczbę całkowitą od 0 do 255 w polu „próg między 3/4 a 1/2”.\nWpisano: „130,5”",
         kAeb},
        {{"42", "130", "256", "225"},
         "Wpisz liczbę całkowitą od 0 do 255 w polu „próg między 1/2 a 1/4”.\nWpisano: „256”",
         kAeb},
        {{"42", "130", "170", ""},
         "Wpisz liczbę całkowitą od 0 do 255 w polu „próg między 1/4 a rezerwą”.\nPole jest "
         "puste.",
         kAeb},
        {{"42,0", " 131 ", "170", "224"}, {}, {42, 131, 170, 224}},
        {{"200", "150", "100", "0"}, {}, {200, 150, 100, 0}},
    };
    for (const auto& c : cases) {
        app.sim().setFuelThresholds(kAeb);
        auto dialog = open();
        type(*dialog, c.typed);
        const auto before = thresholdWrites();
        const auto result = dialog->onWrite();
        EXPECT_EQ(app.sim().fuelThresholds(), c.written) << c.typed[0].toStdString();
        if (c.box.isEmpty()) {
            EXPECT_EQ(result, CFuelSensorDlg::WriteResult::Written);
            EXPECT_TRUE(boxes.empty());
        } else {
            EXPECT_EQ(result, CFuelSensorDlg::WriteResult::Refused);
            EXPECT_EQ(boxes, std::vector<QString>{c.box}) << joined(boxes);
            EXPECT_EQ(thresholdWrites(), before);
            EXPECT_EQ(shown(*dialog), c.typed);  // nothing typed is lost
        }
    }
}

TEST_F(FuelSensorDlgTest, TypesAndFactoryValuesChangeOnlyTheDialog) {
    app.sim().setFuelThresholds({10, 20, 30, 40});
    auto dialog = open();
    dialog->typeCombo()->setCurrentIndex(1);
    emit dialog->typeCombo()->activated(1);
    EXPECT_EQ(shown(*dialog), (std::array<QString, 4>{"225", "170", "130", "42"}));
    EXPECT_TRUE(dialog->pollTimer()->isActive());

    dialog->thresholdEdit(Index::HALF)->setText("77");
    dialog->typeCombo()->setCurrentIndex(2);
    emit dialog->typeCombo()->activated(2);  // "Inny" keeps what is shown
    EXPECT_EQ(shown(*dialog), (std::array<QString, 4>{"225", "77", "130", "42"}));

    answer = CMessageBox::Answer::No;
    dialog->factoryButton()->click();
    EXPECT_EQ(boxes, std::vector<QString>{CFuelSensorDlg::kFactoryQuestion}) << joined(boxes);
    EXPECT_EQ(dialog->thresholdEdit(Index::HALF)->text(), "77");
    answer = CMessageBox::Answer::Yes;
    dialog->factoryButton()->click();
    EXPECT_EQ(shown(*dialog), (std::array<QString, 4>{"42", "130", "170", "225"}));
    EXPECT_EQ(dialog->typeCombo()->currentText(), "Czujnik AEB1050");
    EXPECT_EQ(app.sim().fuelThresholds(), (Thresholds{10, 20, 30, 40}));
    EXPECT_EQ(thresholdWrites(), 0u);
}

TEST_F(FuelSensorDlgTest, LampsShowTheReadingAndTheReserveBlinks) {
    app.sim().setFuelThresholds(kReserve);
    auto dialog = open();
    nextReading(100);  // rising sensor, 130 > 100 > 42
    poll(*dialog);
    EXPECT_EQ(dialog->readingEdit()->text(), "100");
    EXPECT_EQ(lamps(*dialog), (std::array<QColor, 4>{kGrey, kGrey, kGrey, kRed}));
    nextReading(230);
    poll(*dialog);
    EXPECT_EQ(lamps(*dialog), (std::array<QColor, 4>{kGreen, kGreen, kYellow, kRed}));

    app.sim().setFuelThresholds(kAeb);
    dialog->readButton()->click();
    nextReading(230);
    const std::array<QColor, 4> on{kGrey, kGrey, kGrey, kRed}, off{kGrey, kGrey, kGrey, kGrey};
    for (const auto& expected : {on, off, on}) {  // 230, 233, 236: all in the reserve
        poll(*dialog);
        EXPECT_EQ(lamps(*dialog), expected) << dialog->readingEdit()->text().toStdString();
    }
}

TEST_F(FuelSensorDlgTest, TheTimerPollsAndOnlyItsFailuresStaySilent) {
    CFuelSensorDlg::setPollPeriod(5);
    auto dialog = open();
    EXPECT_EQ(dialog->pollTimer()->interval(), 5);
    const int first = dialog->readingEdit()->text().toInt();
    EXPECT_TRUE(waitUntil([&] { return dialog->readingEdit()->text().toInt() > first + 3; }));
    dialog->pollTimer()->stop();

    // A controller that does not answer, then one whose adapter was pulled out.
    const struct {
        bool unplugged;
        QString readBox, writeBox;
    } cases[] = {
        {false, CFuelSensorDlg::kReadLevelFailed, CFuelSensorDlg::kWriteFailed},
        {true, "CFuelSensorDlg::OnRead()\n", CFuelSensorDlg::kWriteFailed},
    };
    for (const auto& c : cases) {
        c.unplugged ? app.sim().faults().vanish() : app.sim().faults().setDropProbability(1);
        const QString before = dialog->readingEdit()->text();
        poll(*dialog);
        EXPECT_TRUE(boxes.empty()) << joined(boxes);
        EXPECT_EQ(dialog->readingEdit()->text(), before);
        dialog->readButton()->click();
        EXPECT_EQ(dialog->onWrite(), CFuelSensorDlg::WriteResult::Failed);
        ASSERT_EQ(boxes.size(), 2u) << joined(boxes);
        EXPECT_TRUE(boxes[0].startsWith(c.readBox)) << joined(boxes);
        EXPECT_TRUE(boxes[1].startsWith(c.writeBox)) << joined(boxes);
        boxes.clear();
    }
}

TEST_F(FuelSensorDlgTest, ThresholdsThatCannotBeReadLeaveTheInitialValues) {
    // A controller that answers the reading (77) and nothing else.
    CRecordingDeviceUi ui;
    auto line = std::make_unique<CScriptedLine>();
    line->setResponder([](const bytes_t& request) {
        const bool level = request.size() > 4 && request[3] == proto::MSG_TYPE_COMMAND &&
                           request[4] == proto::CMD_FUEL_LEVEL;
        return level ? commandReply(proto::CMD_DONE, 77) : bytes_t{};
    });
    line->open(1);
    CLPGDevice device(ui, std::move(line));
    CSettingsWrite settings(device);
    CDataWrite writes(device, settings);
    CFuelSensorDlg dialog(nullptr, device, writes);
    EXPECT_EQ(boxes, std::vector<QString>{CFuelSensorDlg::kReadFailed}) << joined(boxes);
    EXPECT_EQ(dialog.readingEdit()->text(), "77");
    EXPECT_EQ(shown(dialog), (std::array<QString, 4>{"1", "40", "100", "200"}));
    EXPECT_EQ(dialog.typeCombo()->currentText(), "Inny");
}

TEST_F(FuelSensorDlgTest, ClosingAsksAndARefusedValueKeepsTheDialogOpen) {
    const struct {
        CMessageBox::Answer answer;
        QString typed;  // the 3/4 threshold
        bool closes;
        Thresholds written;
    } cases[] = {
        {CMessageBox::Answer::No, "50", true, kAeb},
        {CMessageBox::Answer::Cancel, "50", false, kAeb},  // back to editing
        {CMessageBox::Answer::Yes, "50", true, {50, 130, 170, 225}},
        {CMessageBox::Answer::Yes, "x", false, kAeb},
        {CMessageBox::Answer::Yes, "140", false, kAeb},  // order
    };
    for (const auto& c : cases) {
        for (bool ok : {true, false}) {
            app.sim().setFuelThresholds(kAeb);
            auto dialog = open();
            QSignalSpy finished(dialog.get(), &QDialog::finished);
            answer = c.answer;
            dialog->thresholdEdit(Index::THREE_QUARTERS)->setText(c.typed);
            ok ? dialog->accept() : dialog->reject();
            ASSERT_FALSE(boxes.empty());
            EXPECT_TRUE(boxes[0].startsWith(CFuelSensorDlg::kUnwrittenHeading)) << joined(boxes);
            EXPECT_TRUE(boxes[0].endsWith(CFuelSensorDlg::kWriteQuestion)) << joined(boxes);
            EXPECT_EQ(finished.count(), c.closes ? 1 : 0) << c.typed.toStdString();
            EXPECT_EQ(dialog->pollTimer()->isActive(), !c.closes);
            EXPECT_EQ(app.sim().fuelThresholds(), c.written) << c.typed.toStdString();
            EXPECT_EQ(dialog->thresholdEdit(Index::THREE_QUARTERS)->text(), c.typed);
        }
    }
}

// Nothing typed since the read: closing asks nothing. A write says when it was done, and
// closing after it asks nothing either.
TEST_F(FuelSensorDlgTest, OnlyUnwrittenThresholdsAreAskedAboutAndAWriteSaysWhen) {
    app.sim().setFuelThresholds(kAeb);
    auto dialog = open();
    dialog->accept();
    EXPECT_TRUE(boxes.empty()) << joined(boxes);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    dialog = open();
    dialog->thresholdEdit(Index::HALF)->setText("160");
    EXPECT_EQ(dialog->unwrittenChanges(), QStringList{"próg między 3/4 a 1/2"});
    EXPECT_EQ(dialog->writtenNote(), "");
    EXPECT_EQ(dialog->onWrite(), CFuelSensorDlg::WriteResult::Written);
    EXPECT_TRUE(dialog->writtenNote().startsWith("Progi czujnika wpisano do urządzenia o "));
    dialog->reject();
    EXPECT_TRUE(boxes.empty()) << joined(boxes);
    EXPECT_EQ(app.sim().fuelThresholds(), (Thresholds{42, 160, 170, 225}));
}

}  // namespace
