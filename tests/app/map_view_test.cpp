// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <QAbstractButton>
#include <QClipboard>
#include <QImage>
#include <QInputDialog>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>

#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include "app/lpg_bar.h"
#include "app_fixture.h"
#include "corrections/ui/inj_map_dlg.h"
#include "corrections/ui/map_list.h"
#include "corrections/ui/map_view.h"
#include "corrections/ui/percent_edit.h"
#include "corrections/ui/recording_task.h"
#include "corrections/ui/time_corr_view.h"
#include "diag/settings_history.h"
#include "screenshot.h"

namespace {

// Once armed, the controller stops answering the EEPROM reads that follow an EEPROM
// write, so the read-back of a written map fails. A frame comes in three writes: the
// header, the payload and the check word.
class CTapLine : public ISerialLine {
  public:
    CTapLine(std::unique_ptr<ISerialLine> inner, std::function<void()> silence)
        : inner_(std::move(inner)), silence_(std::move(silence)) {}
    bool armed = false;

    int write(const std::uint8_t* bytes, int n) override {
        if (n > int(proto::kHeaderSize) && bytes[0] == proto::kStart1) {
            type_ = bytes[3];
            written_ = written_ || type_ == proto::MSG_TYPE_EEPROM;
            if (armed && written_ && type_ == proto::MSG_TYPE_COMMAND &&
                bytes[proto::kHeaderSize + proto::kCmdCode] == proto::CMD_EEPROM) {
                silence_();
            }
        }
        return inner_->write(bytes, n);
    }
    void open(int port) override { inner_->open(port); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void configure() override { inner_->configure(); }
    void setTimeouts(const serial_timeouts_t& t) override { inner_->setTimeouts(t); }
    int read(std::uint8_t* buffer, int n) override { return inner_->read(buffer, n); }
    void purgeIn() override { inner_->purgeIn(); }
    void purgeOut() override { inner_->purgeOut(); }

  private:
    std::unique_ptr<ISerialLine> inner_;
    std::function<void()> silence_;
    std::uint8_t type_ = 0;
    bool written_ = false;
};

// Once given a count, counts EEPROM block writes and calls `after` at the last.
class CBlockCounter : public CTapLine {
  public:
    CBlockCounter(std::unique_ptr<ISerialLine> inner, std::function<void()> after)
        : CTapLine(std::move(inner), [] {}), after_(std::move(after)) {}
    int write(const std::uint8_t* bytes, int n) override {
        if (n > int(proto::kHeaderSize) && bytes[0] == proto::kStart1 &&
            bytes[3] == proto::MSG_TYPE_EEPROM && left > 0 && --left == 0) {
            after_();
        }
        return CTapLine::write(bytes, n);
    }
    int left = 0;

  private:
    std::function<void()> after_;
};

// Live diagnostics share the line with the write: on a line that loses 30 % of the
// replies and damages 5 % the map goes in whole; a controller that falls silent part-way
// leaves the port open, the map told incomplete, and a new write after reconnecting works.
TEST(MapWriteBesideDiagnosticsTest, CompletesOnALossyLineOrSaysTheMapIsIncomplete) {
    CBlockCounter* counter = nullptr;
    AppFixture app{true, false, [&](std::unique_ptr<ISerialLine> inner) {
                       auto line = std::make_unique<CBlockCounter>(
                           std::move(inner), [&] { app.sim().faults().setDropProbability(1.0); });
                       counter = line.get();
                       return line;
                   }};
    app.doc().setUnlocked(true);
    app.doc().OnNewDocument();
    // Boxes other than the question of what a write changes (answered OK).
    const auto problems = [&] {
        std::vector<QString> shown;
        for (const QString& box : app.boxes) {
            if (!box.startsWith("Wpisanie mapy zmieni")) {
                shown.push_back(box);
            }
        }
        return shown;
    };
    auto* view = new CMapView(app.doc());
    app.frame().setMapView(view);
    app.doc().quickStartDiagnostics();
    ASSERT_TRUE(app.doc().diagOn());
    app.sim().faults().setDropProbability(0.3);
    app.sim().faults().setCorruptProbability(0.05);
    view->list()->setCellText(3, 3, "12%");
    app.boxes.clear();
    view->findChild<QPushButton*>("write")->click();
    EXPECT_TRUE(problems().empty()) << problems()[0].toStdString();
    EXPECT_EQ(app.sim().eeprom()[104 + 3 * 8 + 3], 112);
    EXPECT_EQ(app.doc().map()[3 * 8 + 3], 112);

    // The 20th block of the next write is the last the controller answers.
    app.sim().faults().setDropProbability(0);
    app.sim().faults().setCorruptProbability(0);
    counter->left = 20;
    view->list()->setCellText(40, 3, "7%");
    view->findChild<QPushButton*>("write")->click();
    ASSERT_FALSE(problems().empty());
    EXPECT_TRUE(problems()[0].contains("Mapa w sterowniku jest niekompletna — wpisz ją ponownie"))
        << problems()[0].toStdString();
    EXPECT_TRUE(app.doc().line().isOpen());
    if (app.doc().diagOn()) {
        app.doc().onDiagnostic();
    }
    ASSERT_TRUE(waitUntil([&] { return !app.doc().workerRunning(); }));
    app.sim().faults().setDropProbability(0);
    app.doc().onReconnect();
    ASSERT_TRUE(app.doc().isConnected());
    app.boxes.clear();
    view->findChild<QPushButton*>("write")->click();
    EXPECT_TRUE(problems().empty()) << problems()[0].toStdString();
    EXPECT_EQ(app.sim().eeprom()[104 + 40 * 8 + 3], 107);
}

// The map view in the device frame of a connected document.
class MapViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.doc().setUnlocked(true);  // writes need no car dialog
        app.doc().OnNewDocument();
        ASSERT_TRUE(app.doc().isConnected());
        ASSERT_TRUE(onWorker([&] { return app.doc().readSetup(); }));
        view = new CMapView(app.doc());
        app.frame().setMapView(view);
        app.onDialog = [this](QDialog& dialog) {
            if (auto* chart = dynamic_cast<CInjMapDlg*>(&dialog)) {
                chartPoints = static_cast<int>(chart->chart().points().size());
                chart->show();  // laid out as it opens
                EXPECT_LE(chart->frameGeometry().width(), 1024);
                EXPECT_LE(chart->frameGeometry().height(), 768);
                EXPECT_TRUE(keepScreenshot(*chart, "map-chart"));
            }
            return int(QDialog::Rejected);
        };
        app.boxes.clear();
    }
    void TearDown() override { CRecordingTask::setShowDelay(CRecordingTask::kShowDelayMs); }

    CMapList& list() { return *view->list(); }
    void click(const char* button) { view->findChild<QPushButton*>(button)->click(); }
    // The support shown over a cell of speed column `column`.
    QString tip(int row, int column) { return list().item(row, column + 1)->toolTip(); }
    // A recording with the companion its run started, which holds the controller's clock.
    QString write(const QString& name, const std::string& bytes) {
        const std::string path = (app.home() + "/" + name).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        CSettingsHistory::startRun(path, app.doc().info());
        return app.home() + "/" + name;
    }
    // The boxes but the questions before a write.
    std::vector<QString> told() const {
        std::vector<QString> failures;
        for (const QString& box : app.boxes)
            if (!box.startsWith("Wpisanie mapy"))
                failures.push_back(box);
        return failures;
    }
    std::uint8_t stored(int row, int column) { return app.sim().eeprom()[104 + row * 8 + column]; }
    bool mapSwitchedOn() {
        dev_setup_t setup;
        setup.fromLine(app.sim().setup().data(), CControllerClock{});
        return setup.hasFlag(dev_setup_t::FLAG_INJECTION_MAP);
    }

    CTapLine* tap = nullptr;
    AppFixture app{true, false, [this](std::unique_ptr<ISerialLine> inner) {
                       auto line = std::make_unique<CTapLine>(std::move(inner), [this] {
                           app.sim().faults().setDropProbability(1.0);
                       });
                       tap = line.get();
                       return line;
                   }};
    CMapView* view = nullptr;
    int chartPoints = -1;
};

// `count` samples each of gasoline and LPG at 40 kPa; by default 5 ms and 5.5 ms at
// 2400 rpm: +10 % in rows 10 and 11 of the 2000-3000 rpm column.
std::string drive(int count, int gasTicks = 200, int lpgTicks = 220, int period = 2000) {
    const std::string rpm = std::to_string(period) + "\t" + std::to_string(period) + "\t";
    const std::string rest = "\t133\t133\t90\t185\t50\t60\t0\t51\r\n";
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += "1\t1\t2\t0\t" + rpm + std::to_string(gasTicks) + "\t0\t0\t200" + rest;
        lines += "2\t1\t3\t1\t" + rpm + std::to_string(lpgTicks) + "\t10\t0\t220" + rest;
    }
    return lines;
}

TEST(MapListTest, HeadersRowsColoursAndEditorsAndEveryColumnWhole) {
    QWidget pane;
    auto* list = new CMapList(&pane);
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "ms");
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "0-1000");
    EXPECT_EQ(list->horizontalHeaderItem(8)->text(), "7000-8000");
    EXPECT_EQ(list->item(0, 0)->text(), "0.0-0.5");
    EXPECT_EQ(list->item(49, 0)->text(), "24.5-25.0");
    EXPECT_EQ(list->item(0, 3)->background().color(), QColor(255, 255, 255));
    EXPECT_EQ(list->item(1, 3)->background().color(), QColor(210, 210, 210));
    EXPECT_EQ(QRgb(list->style()->styleHint(QStyle::SH_Table_GridLineColor, nullptr, list)),
              0xFFFF7F00);
    // In a narrower pane the columns and their font narrow; every column shows, whole.
    pane.show();
    for (int width : {680, 520}) {
        list->resize(width, 600);
        QApplication::processEvents();
        int all = 0;
        for (int c = 0; c < list->columnCount(); ++c)
            all += list->columnWidth(c);
        EXPECT_LE(all, list->viewport()->width()) << width;
        const QFontMetrics shown(list->horizontalHeader()->font());
        EXPECT_LT(shown.horizontalAdvance("7000-8000"), list->columnWidth(8)) << width;
        EXPECT_LT(shown.horizontalAdvance("24.5-25.0"), list->columnWidth(0)) << width;
    }

    // Typing replaces the cell's text; the percent sign comes with the end of the edit,
    // which happens on the next turn of the event loop.
    list->setCellText(3, 1, "5%");
    list->setCurrentCell(3, 2);
    QTest::keyClick(list->viewport(), '1');
    for (CPercentEdit* open : list->findChildren<CPercentEdit*>()) {
        QTest::keyClicks(open, "2");
        QTest::keyClick(open, Qt::Key_Return);
    }
    QApplication::processEvents();
    EXPECT_EQ(list->cellText(3, 1), "12%");
    EXPECT_EQ(CPercentEdit::withPercent("-7"), "-7%");
    EXPECT_EQ(CPercentEdit::withPercent(""), "");
}

TEST_F(MapViewTest, TheFirstShowingReadsTheMap) {
    auto eeprom = app.sim().eeprom();
    std::fill(eeprom.begin() + 104, eeprom.begin() + 504, 100);
    eeprom[104] = 0;
    eeprom[104 + 1 * 8 + 2] = 250;
    eeprom[104 + 49 * 8 + 7] = 95;
    const std::uint16_t sum = CLPGDevice::mapCheckWord(eeprom.data() + 104);
    eeprom[504] = static_cast<std::uint8_t>(sum >> 8);
    eeprom[505] = static_cast<std::uint8_t>(sum);
    app.sim().setEeprom(eeprom);
    app.doc().toggleMapPane();
    ASSERT_TRUE(waitUntil([&] { return view->updated(); }));
    EXPECT_EQ(list().cellText(0, 0), "-100%");
    EXPECT_EQ(list().cellText(0, 1), "");
    EXPECT_EQ(list().cellText(1, 2), "150%");
    EXPECT_EQ(list().cellText(49, 7), "-5%");
    EXPECT_TRUE(app.boxes.empty());
}

TEST_F(MapViewTest, WriteLimitsTheValuesSwitchesTheMapOnAndResets) {
    const struct {
        int row, column;
        const char* text;
        std::uint8_t stored;
        const char* shown;
    } cells[] = {{0, 0, "200%", 250, "150%"}, {0, 1, "-150", 0, "-100%"}, {0, 2, "", 100, ""},
                 {2, 3, "12%", 112, "12%"},   {2, 4, "-4.5%", 95, "-5%"}, {2, 5, "abc", 100, ""}};
    for (const auto& c : cells)
        list().setCellText(c.row, c.column, c.text);
    app.sim().clearRequests();
    click("write");
    EXPECT_TRUE(told().empty());
    for (const auto& c : cells) {
        EXPECT_EQ(stored(c.row, c.column), c.stored) << c.text;
        EXPECT_EQ(list().cellText(c.row, c.column), c.shown) << c.text;
    }
    EXPECT_TRUE(mapSwitchedOn());
    // The write says what it did and when, as the other writes do.
    const auto* bar = app.window().findChild<CLPGBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->text().startsWith("Mapę wtrysków wpisano do urządzenia o "))
        << bar->text().toStdString();
    // The settings go first, then the reset that makes the controller take the map.
    const auto requests = app.sim().requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2].type, proto::MSG_TYPE_SETUP);
    EXPECT_EQ(requests.back().command, proto::CMD_CLEAR_ERRORS);

    click("clear");
    EXPECT_EQ(app.doc().map()[0], 100);
    click("write");
    EXPECT_EQ(stored(0, 0), 100);
    EXPECT_FALSE(mapSwitchedOn());  // an empty map is switched off
}

TEST_F(MapViewTest, FailuresAreToldAndLeaveTheCellsAsTheyWere) {
    list().setCellText(5, 5, "7%");
    tap->armed = true;
    const struct {
        const char* button;
        bool vanish;
        const char* box;
    } cases[] = {
        // The write goes through, the read-back finds no answer, and so on.
        {"write", false,
         "Nie powiodło się wpisanie mapy wtrysków do urządzenia!\nSterownik nie ma tego, co "
         "wpisano"},
        {"read", false, "Nie powiodło się odczytanie mapy wtrysków z urządzenia!\n"},
        {"write", false, "Nie powiodło się wpisanie mapy wtrysków do urządzenia!\n"},
        // The adapter is gone: the handler names itself above the error.
        {"read", true, "CMapView::OnBtnRead()\n"},
        {"write", true, "CMapView::OnBtnWrite()\n"},
    };
    for (const auto& c : cases) {
        app.boxes.clear();
        if (c.vanish)
            app.sim().faults().vanish();
        click(c.button);
        const std::vector<QString> boxes = told();
        ASSERT_EQ(boxes.size(), 1u) << c.box;
        EXPECT_TRUE(boxes[0].startsWith(c.box)) << boxes[0].toStdString();
        EXPECT_FALSE(boxes[0].section('\n', 1, 1).isEmpty()) << "a detail line";
        EXPECT_EQ(list().cellText(5, 5), "7%");
    }
    EXPECT_FALSE(mapSwitchedOn());

    // Without a controller only the buttons that need none are enabled.
    app.doc().CLPGDevice::disconnect();
    emit app.doc().stateChanged();
    for (const char* name : {"read", "write", "createMap", "clear", "showChart"}) {
        const bool offline = name[0] != 'r' && name[0] != 'w';
        EXPECT_EQ(view->findChild<QPushButton*>(name)->isEnabled(), offline) << name;
    }
}

TEST_F(MapViewTest, ABuiltProposalShowsItsValuesAndTheirSupport) {
    // +10 % on 11 samples each at 5 ms; at 4000 rpm +11.25 % on 40 each, both at 8 ms;
    // at 6000 rpm +12.5 % whose LPG samples read 9 ms but support the value in row 8.
    app.nextFile =
        write("drive.lpgd", drive(11) + drive(40, 320, 356, 1200) + drive(40, 320, 360, 800));
    click("createMap");
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_EQ(app.doc().folder(), app.home() + "/");
    const struct {
        int row, column;
        const char* text;
        const char* tip;
        bool weak;
    } cells[] = {
        {10, 2, "10%", "benzyna: 11, LPG: 11", true},
        {11, 2, "10%", "benzyna: 11, LPG: 11", true},
        {16, 4, "11%", "benzyna: 40, LPG: 40", false},
        {17, 6, "13%", "benzyna: 40, LPG: 40", false},
        {18, 6, "", "benzyna: 0, LPG: 0", false},
        {0, 0, "", "benzyna: 0, LPG: 0", false},
    };
    for (const auto& c : cells) {
        EXPECT_EQ(list().cellText(c.row, c.column), c.text) << c.row << "," << c.column;
        EXPECT_EQ(tip(c.row, c.column), c.tip) << c.row << "," << c.column;
        EXPECT_EQ(list().weak(c.row, c.column), c.weak) << c.row << "," << c.column;
    }
    if (const char* shot = std::getenv("VAPRON_MAP_LIST_SHOT")) {
        click("fill");
        CMapList alone;  // the list as the pane shows it
        alone.showState(list().state());
        alone.resize(660, 420);
        alone.show();
        QApplication::processEvents();
        alone.scrollToItem(alone.item(8, 0), QAbstractItemView::PositionAtTop);
        alone.grab().save(shot);
        list().undoStack()->undo();
    }
    EXPECT_EQ(app.doc().map()[10 * 8 + 2], 110);
    EXPECT_EQ(app.doc().map()[17 * 8 + 6], 113);
    EXPECT_EQ(app.doc().map()[0], 100);
    // Typed over the build, a value has no samples behind it: no mark, no counts; one that
    // rounds to 0 is no correction and shows empty.
    list().setCellText(10, 2, "7");
    list().setCellText(11, 2, "-0.4");
    for (const int row : {10, 11}) {
        EXPECT_FALSE(list().weak(row, 2)) << row;
        EXPECT_EQ(tip(row, 2), "") << row;
    }
    EXPECT_EQ(list().cellText(11, 2), "");
    list().undoStack()->undo();
    list().undoStack()->undo();
    // The setup report takes the build with its support from the view.
    ASSERT_TRUE(view->lastProposal());
    EXPECT_EQ(view->lastProposal()->gasolineSamples[16 * 8 + 4], 40);

    click("read");  // the controller's own map has no support to show
    EXPECT_EQ(tip(10, 2), "");
    EXPECT_FALSE(list().weak(10, 2));
    EXPECT_FALSE(view->lastProposal());
}

// Each operation of the "Zaznaczone" menu works on the selected block as one undo step;
// a block copied pastes back elsewhere, and a bad paste changes nothing and says why.
TEST_F(MapViewTest, SelectedBlocksAreEditedCopiedAndPastedAsOneStepEach) {
    const int before[2][3] = {{20, -20, 5}, {0, 140, 15}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            list().setCellText(4 + r, 2 + c, CMapList::percentText(before[r][c]));
    const CMapBlock block{4, 2, 2, 3};
    // Selected, a cell keeps its colour (20 % and an empty cell still differ) and the
    // current cell is framed in black.
    CMapList alone;  // the list as the pane shows it
    alone.showState(list().state());
    alone.resize(660, 420);
    alone.show();
    alone.selectBlock(block);
    ASSERT_EQ(alone.selectedBlock()->rows, 2);
    EXPECT_EQ(alone.selectedBlock()->columns, 3);
    QApplication::processEvents();
    const QImage shown = alone.viewport()->grab().toImage();
    const auto pixelIn = [&](int row, int column, int dx, int dy) {
        const QRect box = alone.visualItemRect(alone.item(row, column + 1));
        return shown.pixelColor(box.left() + dx, box.top() + dy);
    };
    EXPECT_NE(pixelIn(4, 3, 6, 4), pixelIn(5, 2, 6, 4));  // -20 % against an empty cell
    EXPECT_EQ(pixelIn(4, 2, 2, 8), QColor(Qt::black));    // the current cell's frame
    const struct {
        const char* action;
        double amount;
        std::vector<QString> after;
    } cases[] = {
        {"Ustaw wartość...", -7.5, {"-8%", "-8%", "-8%", "-8%", "-8%", "-8%"}},
        {"Dodaj lub odejmij...", 12, {"32%", "-8%", "17%", "12%", "150%", "27%"}},
        {"Skaluj o procent...", 10, {"22%", "-22%", "6%", "", "150%", "17%"}},
        {"Interpoluj", 0, {"20%", "13%", "5%", "", "8%", "15%"}},
        {"Wygładź", 0, {"35%", "27%", "35%", "35%", "27%", "35%"}},
    };
    EXPECT_TRUE(keepScreenshot(list(), "map-block-before"));
    for (const auto& c : cases) {
        list().selectBlock(block);
        app.onDialog = [&](QDialog& dialog) {
            auto& input = dynamic_cast<QInputDialog&>(dialog);
            input.setDoubleValue(c.amount);
            return int(QDialog::Accepted);
        };
        const int steps = list().undoStack()->index();
        for (QAction* a : view->blockMenu()->actions())
            if (a->text() == c.action)
                a->trigger();
        std::vector<QString> after;
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k < 3; ++k)
                after.push_back(list().cellText(4 + r, 2 + k));
        EXPECT_EQ(after, c.after) << c.action;
        EXPECT_EQ(list().undoStack()->index(), steps + 1) << c.action;
        if (std::string(c.action) == "Dodaj lub odejmij...") {
            EXPECT_TRUE(keepScreenshot(list(), "map-block-after"));
        }
        list().undoStack()->undo();
        EXPECT_EQ(list().cellText(4, 2), "20%") << c.action;
        EXPECT_EQ(list().cellText(5, 3), "140%") << c.action;
    }
    // Copy, then paste with the current cell at row 20, column 5.
    list().selectBlock(block);
    QTest::keyClick(&list(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "20\t-20\t5\n0\t140\t15\n");
    list().selectBlock({20, 5, 1, 1});
    QTest::keyClick(&list(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(list().cellText(20, 5), "20%");
    EXPECT_EQ(list().cellText(21, 7), "15%");
    EXPECT_EQ(list().cellText(21, 5), "");
    // Refused whole: nothing changes, and the box names the cell.
    QApplication::clipboard()->setText("1\t2\nx\t4\n");
    list().selectBlock({30, 0, 1, 1});
    app.boxes.clear();
    QTest::keyClick(&list(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_TRUE(app.boxes[0].endsWith("wiersz 2, kolumna 1: „x” nie jest liczbą"))
        << app.boxes[0].toStdString();
    EXPECT_EQ(list().cellText(30, 0), "");
}

TEST_F(MapViewTest, RecordingsThatGiveNoMapAreToldAndChangeNothing) {
    list().setCellText(0, 0, "3%");
    const QString missing = app.home() + "/none.lpgd";
    const QString text = write("text.lpgd", "to nie jest nagranie\n");
    const std::pair<QString, QString> cases[] = {
        {missing, "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" + missing +
                      ": plik nie istnieje"},
        {text,
         "Plik nie zawiera próbek diagnostycznych. Wskaż plik zapisany w trybie "
         "diagnostycznym (.lpgd).\n" +
             text + ": wiersz 1 nie jest próbką: zawiera coś innego niż liczby"},
    };
    for (const auto& [file, box] : cases) {
        for (const char* button : {"createMap", "showChart"}) {
            app.boxes.clear();
            app.nextFile = file;
            click(button);
            EXPECT_EQ(app.boxes, std::vector<QString>{box}) << button;
        }
    }
    EXPECT_EQ(list().cellText(0, 0), "3%");
    EXPECT_TRUE(app.dialogTitles.empty());
}

TEST_F(MapViewTest, ALongRecordingShowsProgressAndTheWindowKeepsRunning) {
    app.nextFile = write("long.lpgd", drive(200000));
    CRecordingTask::setShowDelay(0);
    int ticks = 0;
    int progressSeen = 0;
    bool cancel = true;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ++ticks;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(w);
            if (progress && progress->isVisible()) {
                progressSeen = std::max(progressSeen, progress->value());
                if (cancel && progress->value() > 0)
                    progress->findChild<QPushButton*>()->click();  // "Anuluj"
            }
        }
    });
    watch.start(5);
    click("createMap");  // stopped half way: nothing changes
    EXPECT_GT(progressSeen, 0);
    EXPECT_EQ(list().cellText(10, 2), "");

    cancel = false;
    ticks = 0;
    click("createMap");
    EXPECT_GT(ticks, 2);  // the event loop ran while the file was read
    EXPECT_EQ(list().cellText(10, 2), "10%");
    EXPECT_EQ(tip(10, 2), "benzyna: 200000, LPG: 200000");

    click("showChart");
    EXPECT_EQ(app.dialogTitles, std::vector<QString>{"Mapa wtrysków"});
    EXPECT_EQ(chartPoints, 400000);
    EXPECT_TRUE(app.boxes.empty());
}

TEST(MapListTest, TypedPercentagesAreRoundedAsTheMapRoundsThem) {
    const std::pair<const char*, const char*> cases[] = {
        {"12.5", "13%"}, {"-12.5", "-13%"}, {"0.4", "0%"},   {"0.5", "1%"},
        {"12,4", "12%"}, {"-4.5%", "-5%"},  {"200", "150%"}, {"-", ""},
        {"-%", ""},      {"7%", "7%"},      {"", ""},
    };
    CPercentEdit edit;
    for (const auto& [typed, cell] : cases) {
        QString text = typed;
        int at = 0;
        EXPECT_NE(edit.validator()->validate(text, at), QValidator::Invalid) << typed;
        EXPECT_EQ(CPercentEdit::withPercent(typed), cell) << typed;
    }
}

TEST(MapListTest, EveryValueColourKeepsBlackTextReadable) {
    for (double scale : {10.0, 25.0, 150.0}) {
        for (int percent = -100; percent <= 150; ++percent) {
            const QColor colour = CMapList::valueColor(percent, scale);
            EXPECT_GE(CMapList::contrast(colour, Qt::black), CMapList::kLeastContrast)
                << percent << " of " << scale;
        }
    }
    // Leaner is bluer, richer redder.
    EXPECT_GT(CMapList::valueColor(-20, 20).blue(), CMapList::valueColor(-20, 20).red());
    EXPECT_GT(CMapList::valueColor(20, 20).red(), CMapList::valueColor(20, 20).blue());
}

TEST_F(MapViewTest, FillClearAndEditsAreUndoneAndRedoneInSteps) {
    list().setCellText(10, 1, "10%");
    list().setCellText(10, 4, "40%");
    click("fill");
    EXPECT_EQ(list().cellText(10, 2), "20%");
    EXPECT_EQ(list().cellText(10, 3), "30%");
    EXPECT_TRUE(list().filled(10, 2));  // in italics until written
    EXPECT_TRUE(list().item(10, 3)->font().italic());
    EXPECT_EQ(view->unsavedText(),
              "Mapa wtrysków: zmiany w 4 komórkach nie zostały wpisane do sterownika");
    click("clear");
    EXPECT_EQ(list().cellText(10, 1), "");
    // Ctrl+Z on the pane twice: the cleared map, then the fill, come back in turn.
    app.window().show();
    app.frame().showMapPane();
    app.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    list().setFocus();
    QTest::keyClick(&list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(list().cellText(10, 1), "10%");
    EXPECT_EQ(list().cellText(10, 2), "20%");
    QTest::keyClick(&list(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(list().cellText(10, 2), "");
    EXPECT_EQ(list().cellText(10, 4), "40%");
    QTest::keyClick(&list(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(list().cellText(10, 3), "30%");
    click("write");
    EXPECT_EQ(stored(10, 3), 130);
    EXPECT_FALSE(list().filled(10, 3));
    EXPECT_EQ(view->unsavedText(), "");
}

TEST_F(MapViewTest, AWriteFirstTellsWhatItChangesAndMarksTheCells) {
    auto eeprom = app.sim().eeprom();
    std::fill(eeprom.begin() + 104, eeprom.begin() + 504, 100);
    const std::uint16_t sum = CLPGDevice::mapCheckWord(eeprom.data() + 104);
    eeprom[504] = static_cast<std::uint8_t>(sum >> 8);
    eeprom[505] = static_cast<std::uint8_t>(sum);
    app.sim().setEeprom(eeprom);
    app.window().addPendingWrite(
        {[this] { return view->unsavedText(); }, [this] { view->OnBtnWrite(); }});
    click("read");
    list().setCellText(2, 3, "12%");
    list().setCellText(2, 4, "-4%");
    bool marked = false;
    app.answer = [&](const QString&, CMessageBox::Buttons) {
        marked = list().changeMarked(injmap::cellIndex(2, 3)) &&
                 !list().changeMarked(injmap::cellIndex(2, 5));
        return CMessageBox::Answer::Cancel;
    };
    const std::uint8_t before = stored(2, 3);
    click("write");
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0],
              "Wpisanie mapy zmieni 2 z 400 komórek; największa zmiana: 12 pkt proc. (wiersz 3 "
              "(1.0-1.5 ms), 3000-4000 obr/min).\nZmieniane komórki są obramowane. Czy wpisać "
              "mapę do sterownika?");
    EXPECT_TRUE(marked);
    EXPECT_EQ(stored(2, 3), before);  // cancelled: nothing written

    // An EEPROM restore behind the pane's back put +150 % in seven cells: the question
    // compares with the map the controller holds now, not the one read when the pane opened.
    std::fill(eeprom.begin() + 104 + 80, eeprom.begin() + 104 + 87, 250);
    const std::uint16_t restored = CLPGDevice::mapCheckWord(eeprom.data() + 104);
    eeprom[504] = static_cast<std::uint8_t>(restored >> 8);
    eeprom[505] = static_cast<std::uint8_t>(restored);
    app.sim().setEeprom(eeprom);
    app.boxes.clear();
    click("write");
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_TRUE(app.boxes[0].startsWith(
        "Wpisanie mapy zmieni 9 z 400 komórek; największa zmiana: 150 pkt proc."))
        << app.boxes[0].toStdString();
    app.boxes.erase(app.boxes.begin());
    EXPECT_FALSE(list().changeMarked(injmap::cellIndex(2, 3)));
    EXPECT_EQ(view->unsavedText(),
              "Mapa wtrysków: zmiany w 2 komórkach nie zostały wpisane do sterownika");
    // Closing the window asks, naming what would be lost; cancelled, it stays open.
    app.boxes.clear();
    app.window().show();
    app.window().close();
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_NE(app.boxes[0].indexOf("Mapa wtrysków: zmiany w 2 komórkach"), -1);
    EXPECT_TRUE(app.window().isVisible());
    app.answer = {};  // the fixture's own close goes through
}

// Closing with cells not yet written offers to write them first. Each choice: the window
// stays or goes, and the controller holds the cells only when the write went through
// (a write whose change question is cancelled keeps the window open).
TEST(MapViewCloseTest, EachChoiceOfTheCloseQuestionEndsAsItSays) {
    using A = CMessageBox::Answer;
    struct choice_t {
        A onClose, onChange;
        bool staysOpen, written;
    } const choices[] = {
        {A::Cancel, A::Ok, true, false},
        {A::No, A::Ok, false, false},
        {A::Yes, A::Cancel, true, false},
        {A::Yes, A::Ok, false, true},
    };
    for (const choice_t& c : choices) {
        AppFixture app;
        app.doc().setUnlocked(true);
        app.doc().OnNewDocument();
        ASSERT_TRUE(onWorker([&] { return app.doc().readSetup(); }));
        auto* view = new CMapView(app.doc());
        app.frame().setMapView(view);
        app.window().addPendingWrite(
            {[view] { return view->unsavedText(); }, [view] { view->OnBtnWrite(); }});
        view->findChild<QPushButton*>("read")->click();
        const std::uint8_t before = app.sim().eeprom()[104 + 2 * 8 + 3];
        view->list()->setCellText(2, 3, "12%");
        app.answer = [&](const QString& text, CMessageBox::Buttons buttons) {
            if (buttons == CMessageBox::Buttons::YesNoCancel) {
                EXPECT_EQ(text,
                          "Te zmiany nie są wpisane do sterownika:\nMapa wtrysków: zmiany w 1 "
                          "komórce nie zostały wpisane do sterownika\nWpisać je do sterownika "
                          "przed zamknięciem?");
                return c.onClose;
            }
            return text.startsWith("Wpisanie mapy") ? c.onChange : A::Ok;
        };
        app.window().show();
        app.window().close();
        EXPECT_EQ(app.window().isVisible(), c.staysOpen) << int(c.onClose);
        EXPECT_EQ(app.sim().eeprom()[104 + 2 * 8 + 3], c.written ? 112 : before) << int(c.onClose);
        app.answer = [](const QString&, CMessageBox::Buttons) { return A::No; };
    }
}

// On the workshop laptops' screens the map pane, the chart and the time-correction table
// each show whole or give way: every button's text fits, and a pane is either closed
// or as wide as it needs.
TEST_F(MapViewTest, AtLaptopSizesEveryButtonIsWholeAndNoPaneIsCut) {
    auto* table = new CTimeCorrView(app.doc());
    app.frame().setTimeCorrView(table);
    app.window().show();
    for (const QSize size : {QSize(1024, 768), QSize(1366, 768)}) {
        app.window().resize(size);
        QApplication::processEvents();
        app.frame().showMapPane();
        QApplication::processEvents();
        for (QAbstractButton* b : view->findChildren<QAbstractButton*>()) {
            if (b->isVisibleTo(view) && !b->text().isEmpty()) {
                EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
                EXPECT_LE(b->geometry().right(), view->width()) << b->text().toStdString();
            }
        }
        // The live chart stays in sight above the map, and all eight speed columns show
        // without scrolling sideways, also after the window is resized with the map open.
        for (const QSize now : {size, size - QSize(0, 40), size}) {
            app.window().resize(now);
            QApplication::processEvents();
            const QList<int> right = app.frame().rightSplitter()->sizes();
            EXPECT_TRUE(app.frame().mapUnderChart()) << now.width();
            EXPECT_GE(right[0], CDeviceFrame::kLeastChartHeight) << now.height();
            const int lastRight = list().columnViewportPosition(8) + list().columnWidth(8);
            EXPECT_LE(lastRight, list().viewport()->width()) << now.width();
            EXPECT_FALSE(list().horizontalScrollBar()->isVisible()) << now.width();
        }
        // The legend under the map shows whole.
        const auto* legend = view->findChild<QLabel*>("legend");
        ASSERT_NE(legend, nullptr);
        EXPECT_TRUE(legend->isVisibleTo(view));
        EXPECT_TRUE(legend->text().contains("uboższa"));
        EXPECT_LE(legend->geometry().bottom(), view->height());
        EXPECT_GE(legend->height(), legend->heightForWidth(legend->width()));
        EXPECT_TRUE(keepScreenshot(app.window(), QString("map-under-chart-%1").arg(size.width())));
        app.frame().hideMapPane();
        QApplication::processEvents();
        EXPECT_GT(app.frame().rightSplitter()->sizes()[1], 0);  // the table is back
        EXPECT_EQ(app.frame().paneWidth(CDeviceFrame::MAP), 0);
    }
}

}  // namespace
