// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/device_menu.h"
#include "app_fixture.h"
#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/car_settings_history.h"
#include "settings/car_texts.h"
#include "settings/program_folders.h"
#include "settings/ui/dev_setup_dlg.h"
#include "settings/ui/settings_history_dlg.h"
#include "temp_dir.h"

namespace {

std::time_t at(int day, int hour) {
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

// Files a store of the Opel Astra 1.6 in `root` as the program does, dated `when`;
// returns the car folder.
std::string store(const std::string& root, const std::string& id, double mainCorrection,
                  std::time_t when) {
    device_info_t info;
    info.version = 4;
    info.id = id;
    car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(info);
    info.setup.mainCorrection = mainCorrection;
    const std::string file = CCarInfo::carSettingsPath(root, info, when);
    EXPECT_TRUE(CCarSettingsHistory::keepReplaced(file));
    EXPECT_TRUE(CCarInfo::storeCarSettingsFile(file, info, nullptr));
    const timespec times[2] = {{when, 0}, {when, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    return root + "/Opel-Astra-1.6";
}

TEST(SettingsHistoryDlgTest, ListsTheStoresInOrderWithWhatChanged) {
    CTempDir dir;
    std::vector<QString> boxes;
    CMessageBox::setShower([&](QWidget*, const QString& text, auto, auto) {
        boxes.push_back(text);
        return CMessageBox::Answer::Ok;
    });
    store(dir.folder(), "ID01", 1.0, at(1, 9));
    store(dir.folder(), "ID01", 1.5, at(1, 17));
    const std::string car = store(dir.folder(), "ID01", 1.5, at(2, 10));

    CSettingsHistoryDlg dialog(nullptr, car, "Opel Astra 1.6", true);
    QListWidget* list = dialog.list();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 2);
    const struct {
        QString item, changes;
    } rows[] = {
        {"01-02-2024 09:00:00", CSettingsHistoryDlg::kFirstText},
        {"01-02-2024 17:00:00",
         CSettingsHistoryDlg::kChangesHeading + QString("Główna poprawka: 1 ms | 1.5 ms\n")},
        {"02-02-2024 10:00:00", CSettingsHistoryDlg::kSameText},
    };
    for (int row = 0; row < 3; ++row) {
        list->setCurrentRow(row);
        EXPECT_EQ(list->item(row)->text(), rows[row].item) << row;
        EXPECT_EQ(dialog.changesView()->toPlainText(), rows[row].changes) << row;
    }
    list->setCurrentRow(0);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.filePath().toStdString(), car + "/Historia/ID01-01-02-2024-090000.settings");

    CSettingsHistoryDlg empty(nullptr, dir.folder() + "/none", "Fiat Punto 1.2", false);
    EXPECT_EQ(empty.changesView()->toPlainText(), CSettingsHistoryDlg::kEmptyText);
    EXPECT_TRUE(empty.loadButton()->isHidden());
    empty.accept();
    EXPECT_EQ(boxes, std::vector<QString>{CSettingsHistoryDlg::kNoSelectionText});
    EXPECT_NE(empty.result(), QDialog::Accepted);
    CMessageBox::setShower({});
}

TEST(SettingsHistoryDlgTest, MenuCommandLoadsTheChosenStoreIntoTheEditor) {
    AppFixture app;
    app.doc().OnNewDocument();
    ASSERT_TRUE(app.doc().isConnected());
    app.doc().setCarInfoGiven(true);
    car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(app.doc().info());
    const std::string root = CProgramFolders::carSettingsRoot();
    store(root, app.doc().info().id, 1.75, at(1, 9));
    store(root, app.doc().info().id, 2.0, at(2, 9));

    QString loaded;
    app.onDialog = [&](QDialog& dialog) {
        if (auto* history = dynamic_cast<CSettingsHistoryDlg*>(&dialog)) {
            EXPECT_EQ(history->list()->count(), 2);
            history->list()->setCurrentRow(0);
            history->accept();
            return history->result();
        }
        auto& editor = dynamic_cast<CDevSetupDlg&>(dialog);
        loaded = editor.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->text();
        return int(QDialog::Rejected);
    };
    auto* item =
        app.window().findChild<QAction*>(QString::number(CDeviceMenu::ID_SETTINGS_HISTORY));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&Historia ustawień...");
    item->trigger();
    ASSERT_EQ(app.dialogTitles.size(), 2u);
    EXPECT_EQ(app.dialogTitles[0], "Historia ustawień");
    EXPECT_EQ(loaded, "1.75");
}

}  // namespace
