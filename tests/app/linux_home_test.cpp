// SPDX-License-Identifier: GPL-3.0-or-later
// The window program at home on Linux: Qt's stock texts in Polish, file dialogs that
// show whole dates and sizes, the port dialog listing the ports, the CSV export.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "app/device_menu.h"
#include "app/port_list_view.h"
#include "app/qt_translations.h"
#include "app/rs_setup_dlg.h"
#include "app_fixture.h"
#include "diag/csv_export.h"
#include "fake_system.h"
#include "link/port_list.h"
#include "temp_dir.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(QtTranslationsTest, StockButtonsAndDialogsSpeakPolish) {
    ASSERT_TRUE(CQtTranslations::install()) << CQtTranslations::folder().toStdString();
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Anuluj");
    const auto box = CMessageBox::create(nullptr, "Pytanie", CMessageBox::Icon::Question,
                                         CMessageBox::Buttons::OkCancel);
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), "Anuluj");
    QFileDialog dialog(nullptr, QString(), QString(), "Pliki diagnostyczne(*.lpgd)");
    CFileDial::prepare(dialog, CFileDial::Mode::Save, "lpgd");
    auto* accept = dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Save);
    ASSERT_NE(accept, nullptr);
    EXPECT_EQ(accept->text().remove('&'), "Zachowaj");
    EXPECT_EQ(QLocale().language(), QLocale::Polish);
}

// The filter reads as the program names it, once; the list shows whole sizes and dates.
TEST(QtTranslationsTest, FileDialogsShowTheFilterOnceAndWholeColumns) {
    ASSERT_TRUE(CQtTranslations::install());
    CTempDir folder;
    writeFile(QString::fromStdString(folder.path("Diagnostyka.lpgd")), QByteArray(123456, '1'));
    QFileDialog dialog(nullptr, QString(), QString::fromStdString(folder.root()),
                       CDeviceDoc::kRecordingFilter);
    CFileDial::prepare(dialog, CFileDial::Mode::Open, "txt");
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.findChild<QComboBox*>("fileTypeCombo")->currentText(),
              "Pliki diagnostyczne(*.lpgd)");
    dialog.show();
    auto* view = dialog.findChild<QTreeView*>("treeView");
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
    ASSERT_TRUE(waitUntil([&] { return view->model()->rowCount(view->rootIndex()) == 1; }));
    const QModelIndex file = view->model()->index(0, 0, view->rootIndex());
    QApplication::processEvents();
    // Polish whatever the system's language is.
    EXPECT_EQ(file.siblingAtColumn(1).data().toString(), "120,56 KiB");
    const QDateTime written =
        QFileInfo(QString::fromStdString(folder.path("Diagnostyka.lpgd"))).lastModified();
    EXPECT_EQ(file.siblingAtColumn(3).data().toString(), written.toString("d.MM.yyyy HH:mm"));
    for (int column : {1, 3}) {
        const QString text = file.siblingAtColumn(column).data().toString();
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(text.isEmpty());
        EXPECT_GE(view->header()->sectionSize(column), view->fontMetrics().horizontalAdvance(text));
    }
    dialog.close();
}

TEST(PortDialogTest, ListsThePortsAndTakesTheOneChosen) {
    CFakeSystem system;
    system.addDevice("ttyUSB0");
    system.addById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
    system.addDevice("ttyACM0");
    system.addProcess(812, "ModemManager", {"/dev/ttyACM0"});
    AppFixture app;
    CRSSetupDlg dialog;
    auto* view = dialog.findChild<CPortListView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dialog.typedPort(), "/dev/ttyUSB0");  // the adapter this user may open
    QTreeWidget* list = view->list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(CPortListView::COL_PATH), "/dev/ttyUSB0");
    EXPECT_EQ(list->topLevelItem(0)->text(CPortListView::COL_DESCRIPTION),
              "FTDI FT232R USB UART A50285BI");
    EXPECT_EQ(list->topLevelItem(0)->text(CPortListView::COL_ACCESS), "tak");
    EXPECT_EQ(list->topLevelItem(1)->text(CPortListView::COL_ACCESS), "nie");
    EXPECT_TRUE(view->warningsText().startsWith("ModemManager sprawdza"));

    list->setCurrentItem(list->topLevelItem(1));
    auto* edit = dialog.findChild<QLineEdit*>("port");
    EXPECT_EQ(edit->text(), "/dev/ttyACM0");
    EXPECT_TRUE(view->problemText().startsWith(
        "Port /dev/ttyACM0 jest zajęty przez program ModemManager (PID 812)"));

    emit list->itemDoubleClicked(list->topLevelItem(0), 0);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.devicePath(), "/dev/ttyUSB0");
    EXPECT_TRUE(app.boxes.empty());

    CFakeSystem empty;
    view->refresh();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(view->problemText(), CPortList::kNoPorts);
}

TEST(CsvMenuTest, ExportsTheRecordingBeingLookedAt) {
    AppFixture app;
    QAction* item = app.window().deviceMenu()->action(CDeviceMenu::ID_EXPORT_CSV);
    EXPECT_EQ(item->text(), "&Eksportuj do CSV...");
    app.window().deviceMenu()->update();
    EXPECT_FALSE(item->isEnabled());  // nothing recorded or loaded yet

    const QString recording = app.home() + "/jazda.lpgd";
    writeFile(recording,
              "1\t2\t3\t15\t4800\t0\t160\t40\t20\t0\t100\t128\t200\t100\t45\t100\t0\t60\r\n");
    app.nextFile = recording;
    app.doc().loadRecording();
    app.window().deviceMenu()->update();
    ASSERT_TRUE(item->isEnabled());

    const QString csv = app.home() + "/wynik.csv";
    app.nextFile = csv;
    item->trigger();
    EXPECT_EQ(app.lastFolder, app.home() + "/jazda.csv");
    EXPECT_TRUE(readFile(csv).endsWith(
        "\r\n1,2,LPG,1000,4.000,4.500,49,37,8,88.0,0.0,48.8,12.76,0.882\r\n"));
    ASSERT_EQ(app.boxes.size(), 1u);
    // A recording without a companion: the usual clock, and the box says so.
    EXPECT_EQ(app.boxes[0], "Nagranie zapisano w pliku CSV " + csv +
                                " (próbek: 1).\nNagranie nie ma zapisanego zegara sterownika: "
                                "czasy i obroty przeliczono dla 40000 Hz.");

    app.nextFile = recording;  // the recording itself is refused and kept
    item->trigger();
    ASSERT_EQ(app.boxes.size(), 2u);
    EXPECT_TRUE(app.boxes[1].startsWith("Wybierz inną nazwę pliku CSV"));
    EXPECT_TRUE(readFile(recording).startsWith("1\t2\t3"));
}

// Before any choice a Polish desktop gets the Polish spreadsheet layout, any other the
// plain one; the choice made is kept and offered first from then on, whatever the desktop.
TEST(CsvMenuTest, TheLayoutOfferedFirstFollowsTheDesktopUntilOneIsChosen) {
    const struct {
        QLocale::Language desktop;
        std::optional<bool> stored;
        const char* line;  // the sample as exported
    } cases[] = {
        {QLocale::Polish, std::nullopt, "1;2;LPG;1000;4,000;4,500;"},
        {QLocale::English, std::nullopt, "1,2,LPG,1000,4.000,4.500,"},
        {QLocale::Polish, false, "1,2,LPG,1000,4.000,4.500,"},
        {QLocale::German, true, "1;2;LPG;1000;4,000;4,500;"},
    };
    for (const auto& c : cases) {
        AppFixture app;
        app.doc().setSystemLocale(QLocale(c.desktop));
        if (c.stored) {
            app.preferences().setCsvForSpreadsheet(*c.stored);
        }
        const QString recording = app.home() + "/jazda.lpgd";
        writeFile(recording,
                  "1\t2\t3\t15\t4800\t0\t160\t40\t20\t0\t100\t128\t200\t100\t45\t100\t0\t60\r\n");
        app.nextFile = recording;
        app.doc().loadRecording();
        app.nextFile = app.home() + "/wynik.csv";
        app.window().deviceMenu()->action(CDeviceMenu::ID_EXPORT_CSV)->trigger();
        EXPECT_NE(readFile(app.nextFile).indexOf(QString("\r\n") + c.line), -1)
            << c.line << "\n"
            << readFile(app.nextFile).toStdString();
        EXPECT_EQ(app.preferences().csvForSpreadsheet(), QString(c.line).contains(';'));
    }
}

// A run just stopped is still there to export, while the connection keeps no recording
// name (later settings snapshots are not added to it).
TEST(CsvMenuTest, ExportsTheRunJustStopped) {
    AppFixture app;
    app.doc().OnNewDocument();
    app.doc().quickStartDiagnostics();
    ASSERT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 5; }));
    const std::string run = app.doc().recordingName();
    app.doc().onDiagnostic();  // off
    ASSERT_TRUE(waitUntil([&] { return !app.doc().workerRunning(); }));
    EXPECT_TRUE(app.doc().recordingName().empty());
    QAction* item = app.window().deviceMenu()->action(CDeviceMenu::ID_EXPORT_CSV);
    app.window().deviceMenu()->update();
    ASSERT_TRUE(item->isEnabled());
    app.boxes.clear();
    app.nextFile = app.home() + "/przejazd.csv";
    item->trigger();
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_TRUE(app.boxes[0].startsWith("Nagranie zapisano w pliku CSV " + app.nextFile))
        << app.boxes[0].toStdString();
    EXPECT_EQ(app.lastFolder.toStdString(), CCsvExport::csvNameFor(run));
}

}  // namespace
