// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/device_frame.h"
#include "app/key_router.h"
#include "app/lpg_bar.h"

namespace {

TEST(KeyRouterTest, OnlyLeftModifiersCount) {
    CKeyRouter keys;
    using A = CKeyRouter::Action;
    // Right Control (X11 code 105) + B does nothing.
    keys.keyPressed(Qt::Key_Control, 105, Qt::ControlModifier);
    EXPECT_EQ(keys.keyPressed(Qt::Key_B, 56, Qt::ControlModifier).action, A::None);
    keys.keyReleased(Qt::Key_Control, 105);
    keys.keyPressed(Qt::Key_Control, 37, Qt::ControlModifier);
    EXPECT_EQ(keys.keyPressed(Qt::Key_B, 56, Qt::ControlModifier).action, A::Gasoline);
    EXPECT_EQ(keys.keyPressed(Qt::Key_L, 46, Qt::ControlModifier).action, A::Lpg);
    EXPECT_EQ(keys.keyPressed(Qt::Key_A, 38, Qt::ControlModifier).action, A::Auto);
    // With Alt held nothing happens.
    EXPECT_EQ(keys.keyPressed(Qt::Key_B, 56, Qt::ControlModifier | Qt::AltModifier).action,
              A::None);
    keys.keyReleased(Qt::Key_Control, 37);
    EXPECT_FALSE(keys.leftControl());
}

TEST(KeyRouterTest, FunctionKeysSelectInjectorsAndChartsButF9Nothing) {
    CKeyRouter keys;
    using A = CKeyRouter::Action;
    auto r = keys.keyPressed(Qt::Key_F8, 74, Qt::NoModifier);
    EXPECT_EQ(r.action, A::Injector);
    EXPECT_EQ(r.index, 7);
    EXPECT_EQ(keys.keyPressed(Qt::Key_F9, 75, Qt::NoModifier).action, A::None);
    // F1 with only the right Shift held selects injector 1.
    keys.keyPressed(Qt::Key_Shift, 62, Qt::ShiftModifier);
    r = keys.keyPressed(Qt::Key_F1, 67, Qt::ShiftModifier);
    EXPECT_EQ(r.action, A::Injector);
    EXPECT_EQ(r.index, 0);
    keys.keyReleased(Qt::Key_Shift, 62);
    keys.keyPressed(Qt::Key_Shift, 50, Qt::ShiftModifier);
    r = keys.keyPressed(Qt::Key_F2, 68, Qt::ShiftModifier);
    EXPECT_EQ(r.action, A::Chart);
    EXPECT_EQ(r.index, 1);
    EXPECT_EQ(keys.keyPressed(Qt::Key_F6, 72, Qt::ShiftModifier).action, A::None);
}

TEST(KeyRouterTest, ShiftF3TwiceSwitchesTheChartOnce) {
    CDeviceFrame frame;
    QSignalSpy charts(&frame, &CDeviceFrame::chartSelected);
    QSignalSpy injectors(&frame, &CDeviceFrame::injectorSelected);
    frame.routeKey(Qt::Key_Shift, CKeyRouter::kLeftShift, Qt::ShiftModifier);
    frame.routeKey(Qt::Key_F2, 68, Qt::ShiftModifier);  // already the injection-time chart
    EXPECT_EQ(charts.count(), 0);
    frame.routeKey(Qt::Key_F3, 69, Qt::ShiftModifier);
    frame.routeKey(Qt::Key_F3, 69, Qt::ShiftModifier);
    EXPECT_EQ(charts.count(), 1);
    EXPECT_EQ(frame.chartKind(), 2);
    frame.routeKeyRelease(Qt::Key_Shift, CKeyRouter::kLeftShift);
    frame.routeKey(Qt::Key_F9, 75, Qt::NoModifier);
    EXPECT_EQ(injectors.count(), 0);
    frame.routeKey(Qt::Key_F3, 69, Qt::NoModifier);
    ASSERT_EQ(injectors.count(), 1);
    EXPECT_EQ(injectors.at(0).at(0).toInt(), 3);
}

TEST(LPGBarTest, IndicatorsAndLampCountdown) {
    CLPGBar bar;
    EXPECT_EQ(bar.connectionText(), "Brak połączenia");
    EXPECT_EQ(bar.connectionColour(), QColor(255, 0, 0));
    bar.showConnected(true);
    EXPECT_EQ(bar.connectionText(), "Połączony");
    EXPECT_EQ(bar.connectionColour(), QColor(0, 255, 0));
    bar.showControllerError(true);
    EXPECT_EQ(bar.errorText(), "Błąd");
    EXPECT_EQ(bar.errorColour(), QColor(255, 0, 0));
    bar.showControllerError(false);
    EXPECT_EQ(bar.errorText(), "");
    EXPECT_EQ(bar.errorColour(), QColor(125, 125, 125));

    const QColor green(0, 255, 0), grey(125, 125, 125);
    bar.showInjectors(0x01);
    EXPECT_EQ(bar.lampColour(0), green);
    bar.showInjectors(0x00);
    bar.showInjectors(0x00);
    EXPECT_EQ(bar.lampColour(0), green);
    bar.showInjectors(0x00);  // the third update without its bit
    EXPECT_EQ(bar.lampColour(0), grey);

    // A set bit does not restart the countdown: 3 → 2, set, 2 → 1, then grey.
    bar.showInjectors(0x01);
    bar.showInjectors(0x00);
    bar.showInjectors(0x01);
    bar.showInjectors(0x00);
    EXPECT_EQ(bar.lampColour(0), green);
    bar.showInjectors(0x00);
    EXPECT_EQ(bar.lampColour(0), grey);
}

}  // namespace
