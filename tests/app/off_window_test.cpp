// SPDX-License-Identifier: GPL-3.0-or-later
// The window never exchanges with the controller itself: every command runs its
// exchanges on a worker (the test build aborts on an exchange on the window's thread),
// and one that takes longer than a moment can be stopped from its box.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "app/device_menu.h"
#include "app_fixture.h"
#include "link/request_cancel.h"
#include "widgets/off_window.h"

namespace {

using Id = CDeviceMenu::Id;

// Every command of the device menu against a connected controller, its dialogs closed
// as they open and its file dialogs given a file.
TEST(OffWindowTest, EveryMenuCommandLeavesTheLineToWorkers) {
    AppFixture app;
    app.doc().setUnlocked(true);
    app.doc().OnNewDocument();
    ASSERT_TRUE(app.doc().isConnected());
    app.doc().quickStartDiagnostics();
    const Id commands[] = {
        Id::ID_SETUP_REPORT, Id::ID_EEPROM_READ,     Id::ID_EEPROM_WRITE,    Id::ID_DEVICE_VERSION,
        Id::ID_AUTO_SET,     Id::ID_AUTO_SETUP_PANE, Id::ID_MANUAL_SETTINGS, Id::ID_INJ_SEQUENCE,
        Id::ID_MAP_PANE,     Id::ID_FUEL_SENSOR,     Id::ID_ERRORS_READ,     Id::ID_ERRORS_CLEAR,
        Id::ID_ABOUT,        Id::ID_DIAGNOSTIC,      Id::ID_RECONNECT,
    };
    app.nextFile = app.home() + "/kopia.eeprom";
    app.answer = [](const QString&, CMessageBox::Buttons) { return CMessageBox::Answer::Yes; };
    for (const Id id : commands) {
        if (id == Id::ID_RECONNECT) {  // once the live worker has ended
            ASSERT_TRUE(waitUntil([&] { return !app.doc().workerRunning(); }));
        }
        app.window().deviceMenu()->update();
        QAction* action = app.window().deviceMenu()->action(id);
        ASSERT_TRUE(action->isEnabled()) << action->text().toStdString();
        const std::size_t dialogs = app.dialogTitles.size() + app.boxes.size();
        action->trigger();
        EXPECT_TRUE(app.doc().isConnected()) << action->text().toStdString();
        // Each one got as far as a dialog or a box (the panes show themselves).
        if (id != Id::ID_AUTO_SETUP_PANE && id != Id::ID_MAP_PANE && id != Id::ID_DIAGNOSTIC &&
            id != Id::ID_RECONNECT && id != Id::ID_ERRORS_CLEAR) {
            EXPECT_GT(app.dialogTitles.size() + app.boxes.size(), dialogs)
                << action->text().toStdString();
        }
    }
}

// A quick operation shows no box; a slow one shows what runs with "Przerwij", which
// ends it through the request-cancel scope it runs in.
TEST(OffWindowTest, ASlowOperationCanBeStoppedFromItsBox) {
    AppFixture app;
    struct {
        bool slow;
        bool boxSeen, stopped;
    } cases[] = {{false, false, false}, {true, true, true}};
    for (auto& c : cases) {
        bool boxSeen = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == "stoppableOperation" && top->isVisible()) {
                    boxSeen = true;
                    top->findChild<QPushButton*>("stop")->click();
                }
            }
        });
        watch.start(5);
        bool stopped = false;
        const bool ended = COffWindow::run(
            &app.window(), "Wczytywanie...",
            [&] {
                while (c.slow && !CRequestCancel::requested()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                return !CRequestCancel::requested();
            },
            &stopped);
        EXPECT_EQ(boxSeen, c.boxSeen) << c.slow;
        EXPECT_EQ(stopped, c.stopped) << c.slow;
        EXPECT_EQ(ended, !c.stopped) << c.slow;
    }
}

}  // namespace
