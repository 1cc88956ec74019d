// SPDX-License-Identifier: GPL-3.0-or-later
// Diagnostic runs under the window: one worker at a time, earlier drives kept, a lost
// controller shown and reconnected, replays that cannot be shown, a full disk.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>

#include "app/device_menu.h"
#include "app/lpg_bar.h"
#include "app_fixture.h"
#include "diag/recording_reader.h"
#include "diag/recording_writer.h"
#include "display/device_panel.h"
#include "file_size_limit.h"
#include "settings/program_folders.h"
#include "support/thread_manager.h"

namespace {

using Id = CDeviceMenu::Id;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray samples(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        app_msg_t s;
        s.index = static_cast<std::uint32_t>(i);
        s.injector = 1;
        s.rpm_period = 4000;
        s.gas_time = 120;
        bytes += QByteArray::fromStdString(CRecordingWriter::formatLine(s));
    }
    return bytes;
}

// The indexes of a recording; fails the test on a NUL byte or a line that is not whole.
std::vector<std::uint32_t> indexesOf(const QString& path) {
    EXPECT_FALSE(bytesOf(path).contains('\0')) << path.toStdString();
    CRecordingReader reader(path.toStdString());
    std::vector<std::uint32_t> indexes;
    app_msg_t s;
    while (reader.readSample(s)) {
        indexes.push_back(s.index);
    }
    EXPECT_EQ(reader.end(), CRecordingReader::End::Clean) << path.toStdString();
    return indexes;
}

void expectCounting(const std::vector<std::uint32_t>& indexes) {
    ASSERT_FALSE(indexes.empty());
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        ASSERT_EQ(indexes[i], i + 1);
    }
}

QAction* item(AppFixture& app, Id id) {
    app.window().deviceMenu()->update();
    return app.window().deviceMenu()->action(id);
}

// Lets queued reports arrive.
void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 50) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

QStringList linesOf(const QString& box) {
    return box.split('\n');
}

// Switching diagnostics off and on again, or starting a replay, while the last worker is
// still waiting for its reply: the new run begins once that worker has ended, and its
// end does not stop the new run.
TEST(DiagRunsTest, ANewRunWaitsForTheWorkerCaughtInsideAnExchange) {
    for (const bool replay : {false, true}) {
        SCOPED_TRACE(replay ? "replay" : "switched on again");
        AppFixture app(true, true);
        app.doc().OnNewDocument();
        const QString path = app.home() + "/run.lpgd";
        app.nextFile = path;
        app.doc().onDiagnostic();
        ASSERT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 20; }));
        app.held().hold();
        ASSERT_TRUE(waitUntil([&] { return app.held().waiting() == 1; }));
        app.doc().onDiagnostic();
        ASSERT_FALSE(app.doc().diagOn());
        QTimer::singleShot(100, [&] { app.held().release(); });

        const QString replayed = app.home() + "/replayed.lpgd";
        writeFile(replayed, samples(300));
        if (replay) {
            app.nextFile = replayed;
            app.doc().loadRecording();
            ASSERT_TRUE(waitUntil([] { return CThreadManager::instance().running() == 0; }));
            EXPECT_EQ(app.doc().store().getSize(), 300u);
            EXPECT_EQ(app.doc().title(), "Vapron - " + replayed);
            expectCounting(indexesOf(path));  // the live drive ended whole
            continue;
        }
        app.doc().onDiagnostic();
        ASSERT_TRUE(app.doc().diagOn());
        ASSERT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 50; }));
        EXPECT_TRUE(app.doc().diagOn());
        EXPECT_EQ(app.doc().title(), "Vapron - " + path);
        EXPECT_EQ(QString::fromStdString(app.doc().recordingName()), path);
        app.doc().onDiagnostic();
        ASSERT_TRUE(waitUntil([] { return CThreadManager::instance().running() == 0; }));

        const auto indexes = indexesOf(path);
        expectCounting(indexes);
        EXPECT_EQ(indexes.size(), app.doc().store().getSize());
        // The first drive went aside and ends with the sample its worker was waiting for.
        const QStringList kept = QDir(app.home()).entryList({"run-*.lpgd"});
        ASSERT_EQ(kept.size(), 1);
        expectCounting(indexesOf(app.home() + "/" + kept[0]));
    }
}

TEST(DiagRunsTest, CancelInTheSaveDialogRecordsIntoTheDefaultFileAndKeepsTheOldDrive) {
    AppFixture app;
    app.doc().OnNewDocument();
    const QString dane = QString::fromStdString(CProgramFolders::dataFolder());
    const QByteArray drive = samples(3), snapshot(1200, '\x04');
    writeFile(dane + "Diagnostyka.lpgd", drive);
    writeFile(dane + "Diagnostyka.lpgd-config", snapshot);
    app.nextFile.clear();
    app.doc().onDiagnostic();
    EXPECT_TRUE(app.doc().diagOn());
    EXPECT_EQ(item(app, Id::ID_DIAGNOSTIC)->text(), "&Wyłącz tryb diagnostyczny");
    const QStringList kept = QDir(dane).entryList({"Diagnostyka-*.lpgd"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(bytesOf(dane + kept[0]), drive);
    EXPECT_EQ(bytesOf(dane + kept[0] + "-config"), snapshot);
    app.doc().onDiagnostic();
    EXPECT_FALSE(app.doc().diagOn());
}

// Every start of the program records into Diagnostyka.lpgd; yesterday's drive is kept.
TEST(DiagRunsTest, AStartKeepsTheEarlierDriveUnderAStampedName) {
    for (const bool heldSamples : {true, false}) {
        SCOPED_TRACE(heldSamples ? "a drive" : "an empty file");
        AppFixture app;
        const QString dane = QString::fromStdString(CProgramFolders::dataFolder());
        const QByteArray drive = heldSamples ? samples(5) : QByteArray();
        writeFile(dane + "Diagnostyka.lpgd", drive);
        app.doc().OnNewDocument();
        app.doc().quickStartDiagnostics();
        ASSERT_TRUE(app.doc().diagOn());

        const QStringList kept = QDir(dane).entryList({"Diagnostyka-*.lpgd"});
        if (!heldSamples) {
            EXPECT_TRUE(kept.isEmpty());
            EXPECT_EQ(app.frame().bar()->text(), "");
            continue;
        }
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(
            QRegularExpression("^Diagnostyka-\\d{8}-\\d{6}\\.lpgd$").match(kept[0]).hasMatch())
            << kept[0].toStdString();
        EXPECT_EQ(bytesOf(dane + kept[0]), drive);
        EXPECT_EQ(app.frame().bar()->text(), "Poprzedni zapis przeniesiono do " + kept[0]);
        ASSERT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 5; }));
        EXPECT_TRUE(QFile::exists(dane + "Diagnostyka.lpgd"));
    }
}

// The adapter pulled out, or the controller no longer answering, during a run.
TEST(DiagRunsTest, ALostControllerIsShownAndReconnectResumesDiagnostics) {
    for (const bool pulled : {true, false}) {
        SCOPED_TRACE(pulled ? "adapter pulled" : "controller silent");
        AppFixture app;
        CDevicePanel panel(app.doc());
        app.doc().setDevicePanel(&panel);
        app.doc().OnNewDocument();
        app.doc().quickStartDiagnostics();
        ASSERT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 20; }));
        panel.refresh();
        ASSERT_EQ(app.frame().bar()->connectionText(), "Połączony");

        pulled ? app.sim().faults().vanish() : app.sim().faults().setDropProbability(1.0);
        ASSERT_TRUE(waitUntil([&] { return !app.boxes.empty(); }));
        settle();  // a second message would show now
        EXPECT_FALSE(app.doc().diagOn());
        EXPECT_FALSE(app.doc().isConnected());
        EXPECT_EQ(app.frame().bar()->connectionText(), "Brak połączenia");
        for (int i = 0; i < CDevicePanel::kValues; ++i) {
            EXPECT_EQ(panel.valueText(i), "BRAK") << i;
        }
        ASSERT_EQ(app.boxes.size(), 1u);
        const QStringList box = linesOf(app.boxes[0]);
        ASSERT_EQ(box.size(), 2);
        EXPECT_TRUE(box[0].startsWith("Utracono połączenie ze sterownikiem LPG. Sprawdź przewód"));
        EXPECT_TRUE(box[0].contains("zasilanie") && box[0].contains("adapter"));
        EXPECT_FALSE(box[1].isEmpty());
        EXPECT_FALSE(box[1].contains("CSerialPort")) << box[1].toStdString();  // no code names
        EXPECT_FALSE(item(app, Id::ID_DIAGNOSTIC)->isEnabled());
        EXPECT_EQ(item(app, Id::ID_DIAGNOSTIC)->text(), "&Włącz tryb diagnostyczny");
        ASSERT_TRUE(item(app, Id::ID_RECONNECT)->isEnabled());

        pulled ? app.sim().faults().reappear() : app.sim().faults().setDropProbability(0);
        item(app, Id::ID_RECONNECT)->trigger();
        EXPECT_TRUE(app.doc().isConnected());
        EXPECT_TRUE(app.doc().diagOn());
        EXPECT_EQ(app.frame().bar()->connectionText(), "Połączony");
        EXPECT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 20; }));
        EXPECT_EQ(app.boxes.size(), 1u);
        app.doc().setDevicePanel(nullptr);
    }
}

TEST(DiagRunsTest, ReconnectIsOfferedAfterAFailedStart) {
    AppFixture app(false);
    app.doc().OnNewDocument();
    ASSERT_FALSE(app.doc().isConnected());
    ASSERT_TRUE(item(app, Id::ID_RECONNECT)->isEnabled());
    app.sim().faults().reappear();
    app.doc().onReconnect();
    EXPECT_TRUE(app.doc().isConnected());
    EXPECT_TRUE(app.doc().diagOn());
    EXPECT_FALSE(item(app, Id::ID_RECONNECT)->isEnabled());
    EXPECT_TRUE(waitUntil([&] { return app.doc().store().getSize() > 5; }));
}

// What was on screen stays: the chart's samples, the title and the file name.
TEST(DiagRunsTest, AReplayThatCannotBeShownSaysWhyAndKeepsWhatWasShown) {
    AppFixture app;
    const QString good = app.home() + "/good.lpgd";
    writeFile(good, samples(300));
    app.nextFile = good;
    app.doc().loadRecording();
    ASSERT_EQ(app.doc().store().getSize(), 300u);
    ASSERT_TRUE(app.boxes.empty());

    const QString cannotRead = "Nie można otworzyć pliku do odczytu danych diagnostycznych";
    const QString noSamples = "Plik nie zawiera próbek diagnostycznych.";
    writeFile(app.home() + "/empty.lpgd", "");
    writeFile(app.home() + "/text.lpgd", "to nie jest zapis\r\n");
    QDir(app.home()).mkdir("folder.lpgd");
    const struct {
        const char* file;
        QString firstLine;
    } cases[] = {
        {"missing.lpgd", cannotRead},
        {"folder.lpgd", cannotRead},
        {"empty.lpgd", noSamples},
        {"text.lpgd",
         "Wybrany plik nie jest zapisem diagnostycznym. Wybierz plik .lpgd zapisany w trybie "
         "diagnostycznym."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        app.boxes.clear();
        const QString path = app.home() + "/" + c.file;
        app.nextFile = path;
        app.doc().loadRecording();
        ASSERT_EQ(app.boxes.size(), 1u);
        const QStringList box = linesOf(app.boxes[0]);
        ASSERT_EQ(box.size(), 2);
        EXPECT_EQ(box[0], c.firstLine);
        EXPECT_TRUE(box[1].startsWith(path + ": ")) << box[1].toStdString();
        EXPECT_GT(box[1].size(), path.size() + 2);
        EXPECT_EQ(app.doc().title(), "Vapron - " + good);
        EXPECT_EQ(QString::fromStdString(app.doc().recordingName()), good);
        EXPECT_EQ(app.doc().store().getSize(), 300u);
        EXPECT_FALSE(app.doc().diagOn());
    }
}

// A recording damaged part-way is shown up to the damage, and the box says how much of it
// was not read.
TEST(DiagRunsTest, AReplayStoppedByADamagedLineSaysHowManyLinesWereNotRead) {
    AppFixture app;
    const QString damaged = app.home() + "/damaged.lpgd";
    static const char kNuls[] = "87\t1\t2\0\0\0\t4000\r\n";  // NUL bytes in one line
    QByteArray bytes = samples(86) + QByteArray(kNuls, sizeof kNuls - 1) + samples(913);
    writeFile(damaged, bytes);
    app.nextFile = damaged;
    app.doc().loadRecording();
    EXPECT_EQ(app.doc().store().getSize(), 86u);
    ASSERT_EQ(app.boxes.size(), 1u);
    const QStringList box = linesOf(app.boxes[0]);
    ASSERT_EQ(box.size(), 2);
    EXPECT_TRUE(box[0].startsWith("Nie wczytano końca nagrania: od wiersza 87 "))
        << box[0].toStdString();
    EXPECT_EQ(box[1], damaged + ": nieodczytane wiersze od wiersza 87 (niepustych: 914)");
}

// A full disk during the run, or a recording that cannot be made at all.
TEST(DiagRunsTest, ARecordingThatFailsTurnsDiagnosticsOffAndSaysSo) {
    const struct {
        const char* file;
        QString firstLine;
    } cases[] = {
        {"full.lpgd",
         "Zapis danych diagnostycznych został przerwany i tryb diagnostyczny wyłączono. Zwolnij "
         "miejsce na dysku albo wybierz inny plik i włącz tryb diagnostyczny ponownie."},
        {"folder.lpgd",
         "Nie można otworzyć pliku do zapisu danych diagnostycznych. Wybierz inny plik lub "
         "folder i włącz tryb diagnostyczny ponownie."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        AppFixture app;
        app.doc().OnNewDocument();
        QDir(app.home()).mkdir("folder.lpgd");
        const QString path = app.home() + "/" + c.file;
        app.nextFile = path;
        {
            CFileSizeLimit full(4096);  // about sixty lines fit
            app.doc().onDiagnostic();
            waitUntil([&] { return !app.boxes.empty(); });
        }
        ASSERT_EQ(app.boxes.size(), 1u);
        const QStringList box = linesOf(app.boxes[0]);
        ASSERT_EQ(box.size(), 2);
        EXPECT_EQ(box[0], c.firstLine);
        EXPECT_TRUE(box[1].startsWith(path + ": ")) << box[1].toStdString();
        EXPECT_FALSE(app.doc().diagOn());
        EXPECT_EQ(item(app, Id::ID_DIAGNOSTIC)->text(), "&Włącz tryb diagnostyczny");
        EXPECT_TRUE(item(app, Id::ID_DIAGNOSTIC)->isEnabled());
        EXPECT_EQ(app.doc().title(), "Vapron");
        EXPECT_TRUE(app.doc().isConnected());  // the controller is fine
    }
}

}  // namespace
