// The settings poll of the live panel leaves a main correction that is being changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app_fixture.h"
#include "display/device_panel.h"
#include "settings/ui/car_info_dlg.h"

namespace {

class SettingsPollTest : public ::testing::Test {
  protected:
    SettingsPollTest() : panel(app.doc()) {
        app.doc().setDevicePanel(&panel);
        app.doc().OnNewDocument();
        app.doc().store().push(app_msg_t{});  // the refresh needs a sample
        panel.setCorrectionText("1.000");
    }
    ~SettingsPollTest() override { app.doc().setDevicePanel(nullptr); }

    // Ten seconds of the panel's timer: one settings poll.
    void tenSeconds() {
        for (int i = 0; i < CDevicePanel::kSettingsPollEvery; ++i)
            panel.refresh();
    }

    AppFixture app;
    CDevicePanel panel;
};

// The first write asks for the car information; the poll that came due while that
// dialog was open used to read 1.000 back into the record, which was then written.
TEST_F(SettingsPollTest, APollWhileTheCarDialogIsOpenDoesNotUndoTheSpin) {
    app.onDialog = [&](QDialog& dialog) {
        tenSeconds();
        auto& car = static_cast<CCarInfoDlg&>(dialog);
        car.makeCombo()->setCurrentText("Opel");
        car.modelCombo()->setCurrentText("Astra");
        car.capacityEdit()->setText("1.6");
        car.powerEdit()->setText("101");
        return int(QDialog::Accepted);
    };
    panel.onCorrectionSpin(-1);
    ASSERT_EQ(app.dialogTitles.size(), 1u);
    EXPECT_EQ(app.sim().setup()[7], 41);  // 1.025 ms written
    EXPECT_EQ(panel.correctionText(), "1.025");

    // Once written, the next poll shows the controller's value again.
    panel.setCorrectionText("9.999");
    tenSeconds();
    EXPECT_EQ(panel.correctionText(), "1.025");
}

TEST_F(SettingsPollTest, APollWaitsWhileTheEditHasTheFocus) {
    panel.correctionEdit()->setEnabled(true);  // as once connected
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    panel.correctionEdit()->setFocus();
    ASSERT_TRUE(panel.correctionEdit()->hasFocus());
    panel.setCorrectionText("2,5");
    tenSeconds();
    EXPECT_EQ(panel.correctionText(), "2,5");
    panel.correctionEdit()->clearFocus();
    panel.refresh();  // the poll put off comes at the next refresh
    EXPECT_EQ(panel.correctionText(), "1.000");
}

}  // namespace
