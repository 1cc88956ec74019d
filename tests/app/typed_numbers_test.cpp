// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers typed into the program's edits: a decimal comma is a decimal point, and any
// text that is not a number is refused with a box naming the field.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "app/lpg_dev_version_dlg.h"
#include "app/rs_setup_dlg.h"
#include "app_fixture.h"
#include "display/device_panel.h"
#include "widgets/number_text.h"

namespace {

TEST(NumberTextTest, ReadsPlainNumbersWithEitherSeparator) {
    struct row_t {
        const char* text;
        std::optional<double> value;
    };
    const row_t rows[] = {
        {"1,5", 1.5},
        {"1.5", 1.5},
        {" 1,025 ", 1.025},
        {"-0,5", -0.5},
        {"+2", 2.0},
        {",5", 0.5},
        {"3.", 3.0},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"abc", std::nullopt},
        {"1,5x", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1,2.3", std::nullopt},
        {"1e3", std::nullopt},
        {"--1", std::nullopt},
        {"1 000", std::nullopt},
        {",", std::nullopt},
        {"inf", std::nullopt},
    };
    for (const row_t& row : rows) {
        EXPECT_EQ(CNumberText::toDouble(QString::fromUtf8(row.text)), row.value) << row.text;
    }
    EXPECT_EQ(CNumberText::toInt(" 3 "), 3);
    EXPECT_EQ(CNumberText::toInt("-12"), -12);
    EXPECT_EQ(CNumberText::toInt("1,0"), std::nullopt);
    EXPECT_EQ(CNumberText::toInt("99999999999"), std::nullopt);
    EXPECT_EQ(CNumberText::refusal("Pole", "1,5x"), "Wpisz liczbę w polu „Pole”.\nWpisano: „1,5x”");
    EXPECT_EQ(CNumberText::refusal("Pole", ""), "Wpisz liczbę w polu „Pole”.\nPole jest puste.");
}

class QuickEditorTest : public ::testing::Test {
  protected:
    QuickEditorTest() : panel(app.doc()) {
        app.doc().setDevicePanel(&panel);
        app.doc().OnNewDocument();
        app.doc().setUnlocked(true);  // no car dialog
    }
    ~QuickEditorTest() override { app.doc().setDevicePanel(nullptr); }
    AppFixture app;
    CDevicePanel panel;
};

TEST_F(QuickEditorTest, ADecimalCommaIsWrittenAsTheNumberTyped) {
    panel.setCorrectionText("1,5");
    panel.onBtnSetCorrection();
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_DOUBLE_EQ(app.doc().heldSetup().mainCorrection, 1.5);
    EXPECT_EQ(app.sim().setup()[7], 60);  // 1.5 ms in 0.025 ms ticks
    panel.setCorrectionText("1,475");
    panel.onCorrectionSpin(-1);
    EXPECT_EQ(panel.correctionText(), "1.500");
}

TEST_F(QuickEditorTest, TextThatIsNoNumberIsRefusedAndNothingIsWritten) {
    const auto before = app.sim().setup();
    const std::size_t requests = app.sim().requestCount();
    for (const char* typed : {"abc", "", "1,5x"}) {
        panel.setCorrectionText(QString::fromUtf8(typed));
        panel.onBtnSetCorrection();
        panel.onCorrectionSpin(-1);
        EXPECT_EQ(panel.correctionText(), QString::fromUtf8(typed));
    }
    ASSERT_EQ(app.boxes.size(), 6u);
    EXPECT_EQ(app.boxes[0], "Wpisz liczbę w polu „Główna poprawka [ms]”.\nWpisano: „abc”");
    EXPECT_EQ(app.boxes[2], "Wpisz liczbę w polu „Główna poprawka [ms]”.\nPole jest puste.");
    EXPECT_EQ(app.sim().requestCount(), requests);
    EXPECT_EQ(app.sim().setup(), before);
    EXPECT_DOUBLE_EQ(app.doc().heldSetup().mainCorrection, 1.0);
}

TEST(TypedNumbersDialogTest, ThePortDialogNamesWhatWasTyped) {
    AppFixture app;
    CRSSetupDlg dialog;
    auto* edit = dialog.findChild<QLineEdit*>("port");
    edit->setText("COM1");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0],
              "Podaj numer portu od 1 do 4 lub ścieżkę urządzenia (np. /dev/ttyUSB0).\n"
              "Wpisano: „COM1”");
    edit->setText(" 2 ");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.port(), 2);
}

TEST(TypedNumbersDialogTest, TheVersionDialogSendsNothingForAnEmptyNumber) {
    AppFixture app;
    app.doc().OnNewDocument();
    CLPGDevVersionDlg dialog(nullptr, app.doc());
    const auto record = app.sim().versionRecord();
    const std::size_t requests = app.sim().requestCount();
    dialog.versionEdit()->setText("");
    dialog.onWrite();
    dialog.versionEdit()->setText("4");
    dialog.injectorsEdit()->setText("300");
    dialog.onWrite();
    EXPECT_EQ(app.sim().requestCount(), requests);
    EXPECT_EQ(app.sim().versionRecord(), record);
    ASSERT_EQ(app.boxes.size(), 2u);
    EXPECT_EQ(app.boxes[0],
              "Wpisz liczbę całkowitą od 0 do 65535 w polu „Wersja”.\nPole jest puste.");
    EXPECT_EQ(app.boxes[1],
              "Wpisz liczbę całkowitą od 0 do 255 w polu „Ilość wtryskiwaczy”.\nWpisano: „300”");
}

}  // namespace
