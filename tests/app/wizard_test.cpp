// SPDX-License-Identifier: GPL-3.0-or-later
// "Ustawienia krok po kroku..." driven through its dialogs against the in-process
// simulated controller, and the step dialogs themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include <ctime>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app_fixture.h"
#include "autosetup/setup_wizard_text.h"
#include "autosetup/ui/auto_setup_view.h"
#include "autosetup/ui/average_error_dlg.h"
#include "autosetup/ui/step1_dlg.h"
#include "autosetup/ui/step2_dlg.h"
#include "autosetup/ui/step3_dlg.h"
#include "autosetup/ui/step4_dlg.h"
#include "autosetup/ui/step_end_dlg.h"
#include "autosetup/ui/step_start_dlg.h"
#include "diag_tamper_line.h"
#include "display/device_panel.h"
#include "link/conversions.h"
#include "link/protocol.h"
#include "screenshot.h"
#include "settings/car_info.h"
#include "settings/car_texts.h"

namespace {

using namespace setup_wizard_text;
using Icon = CMessageBox::Icon;
using Script = std::function<int(QDialog&)>;

constexpr std::size_t kMainCorrectionByte = 7;
constexpr std::size_t kFlagsByte = 9;
constexpr std::size_t kInjTypeByte = 23;
constexpr std::size_t kGasTempByte = 3;
constexpr std::size_t kGasTimeWord = 16;
constexpr const char* kColdLpgBox =
    "Błędy sterownika LPG:\nŹle podłączony czujnik temperatury LPG\n\n";

// CPU time the calling thread has used, ms.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct box_t {
    QString text;
    Icon icon;
    bool operator==(const box_t&) const = default;
};

void PrintTo(const box_t& box, std::ostream* out) {
    *out << "(" << box.text.toStdString() << ", " << int(box.icon) << ")";
}

// Presses the dialog's first button, as the user going on does.
QStringList labelTexts(const QDialog& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

int pressOk(QDialog& dialog) {
    if (auto* step = dynamic_cast<CStepBaseDlg*>(&dialog)) {
        step->okButton()->click();
    } else if (auto* tolerance = dynamic_cast<CAverageErrorDlg*>(&dialog)) {
        tolerance->onOk();
    } else {
        dialog.accept();
    }
    return dialog.result();
}

int pressCancel(QDialog& dialog) {
    if (auto* step = dynamic_cast<CStepBaseDlg*>(&dialog)) {
        step->cancelButton()->click();
        return dialog.result();
    }
    return QDialog::Rejected;
}

// The document connected to the simulated controller, the car information given; the
// step dialogs are pressed through unless a script says otherwise.
class WizardAppTest : public ::testing::Test {
  protected:
    void SetUp() override { open(false); }
    // With `heldLine` the test can hold every reply back (see CHeldLine).
    void open(bool heldLine) {
        app.reset();
        app =
            std::make_unique<AppFixture>(true, heldLine, [this](std::unique_ptr<ISerialLine> line) {
                return std::make_unique<CDiagTamperLine>(
                    std::move(line), [this](int injector, std::uint8_t* payload) {
                        return tamper ? tamper(injector, payload) : true;
                    });
            });
        doc().OnNewDocument();
        view = doc().autoSetupView();
        ASSERT_NE(view, nullptr);
        view->procedure().setPollInterval(std::chrono::milliseconds(1));
        doc().setCarInfoGiven(true);
        doc().setRefreshPeriodSetter([this](int ms) { periods.push_back(ms); });
        CMessageBox::setShower([this](QWidget*, const QString& text, Icon icon, auto) {
            boxes.push_back({text, icon});
            return CMessageBox::Answer::Ok;
        });
        CDialogRunner::setRunner([this](QDialog& dialog) { return answer(dialog); });
    }

    CDeviceDoc& doc() { return app->doc(); }
    CControllerSim& sim() { return app->sim(); }

    void startDiagnostics() {
        doc().quickStartDiagnostics();
        ASSERT_TRUE(waitUntil([&] { return doc().store().getSize() > 0; }));
    }
    void setSetupByte(std::size_t offset, std::uint8_t value) {
        setup_line_t setup = sim().setup();
        setup[offset] = value;
        sim().setSetup(setup);
    }
    bool menusEnabled() {
        const QList<QAction*> menus = app->window().menuBar()->actions();
        return std::all_of(menus.begin(), menus.begin() + 7,
                           [](QAction* menu) { return menu->isEnabled(); });
    }
    bool menusGreyed() {
        const QList<QAction*> menus = app->window().menuBar()->actions();
        return std::none_of(menus.begin(), menus.begin() + 7,
                            [](QAction* menu) { return menu->isEnabled(); });
    }
    int answer(QDialog& dialog) {
        const QString name = dialog.metaObject()->className();
        dialogs.push_back(name);
        lockedAtEveryDialog = lockedAtEveryDialog && menusGreyed();
        slowAtEveryDialog =
            slowAtEveryDialog && !periods.empty() && periods.back() == CDeviceDoc::kSlowRefreshMs;
        const auto script = scripts.find(name);
        if (script != scripts.end()) {
            return script->second(dialog);
        }
        return name == "CErrCodesDlg" ? QDialog::Rejected : pressOk(dialog);
    }
    int requests(std::uint8_t type, std::uint8_t command = 0, int parameter = -1) {
        int count = 0;
        for (const auto& request : sim().requests()) {
            count += request.type == type && request.command == command &&
                     (parameter < 0 || request.parameter == parameter);
        }
        return count;
    }
    int commands(std::uint8_t code) { return requests(proto::MSG_TYPE_COMMAND, code); }
    int settingsWrites() { return requests(proto::MSG_TYPE_SETUP); }
    double controllerMainCorrection() { return sim().setup()[kMainCorrectionByte] * 0.025; }
    void coldLpgSensor() {
        tamper = [](int, std::uint8_t* payload) {
            payload[kGasTempByte] = conv::temperatureToRaw(-20);
            return true;
        };
    }

    std::unique_ptr<AppFixture> app;
    CAutoSetupView* view = nullptr;
    std::function<bool(int, std::uint8_t*)> tamper;
    std::vector<box_t> boxes;
    std::vector<QString> dialogs;
    std::vector<int> periods;
    std::map<QString, Script> scripts;
    bool lockedAtEveryDialog = true;
    bool slowAtEveryDialog = true;
};

const std::vector<QString> kAllDialogs{"CStepStartDlg", "CStep1Dlg", "CStep2Dlg",
                                       "CStep3Dlg",     "CStep4Dlg", "CAverageErrorDlg",
                                       "CStepEndDlg"};

TEST_F(WizardAppTest, AStoredErrorShowsItsBoxAndTheErrorWindowAndWritesNothing) {
    startDiagnostics();
    CControllerSim::error_report_t report{};
    report[0] = 0x01;
    sim().setErrorReport(report);
    sim().clearRequests();
    doc().onAutoSet();
    EXPECT_EQ(boxes, (std::vector<box_t>{{kStoredErrors, Icon::None}}));
    EXPECT_EQ(dialogs, (std::vector<QString>{"CErrCodesDlg"}));
    EXPECT_EQ(commands(proto::CMD_SETUP), 0);
    EXPECT_EQ(settingsWrites(), 0);
    EXPECT_EQ(commands(proto::CMD_WORK_LPG) + commands(proto::CMD_WORK_AUTO), 0);
    EXPECT_TRUE(lockedAtEveryDialog);
    EXPECT_TRUE(menusEnabled());
}

TEST_F(WizardAppTest, WithoutDiagnosticsOnlyTheNoDataBoxIsShown) {
    doc().onAutoSet();
    EXPECT_EQ(boxes, (std::vector<box_t>{{kNoSamples, Icon::Error}}));
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(menusEnabled());
}

TEST_F(WizardAppTest, AnInjectorAt60MsGetsThe12VFlagWrittenBeforeTheCylinderDialog) {
    tamper = [this](int injector, std::uint8_t* payload) {
        if (injector == 1 && (sim().setup()[kInjTypeByte] & dev_setup_t::INJ_12V) == 0) {
            proto::putBE16(payload + kGasTimeWord, 2400);  // 60 ms
        }
        return true;
    };
    startDiagnostics();
    int writes = -1;
    int injType = -1;
    scripts["CStepStartDlg"] = [&](QDialog& dialog) {
        writes = settingsWrites();
        injType = sim().setup()[kInjTypeByte];
        return pressOk(dialog);
    };
    scripts["CStep1Dlg"] = pressCancel;
    doc().onAutoSet();
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(injType, dev_setup_t::INJ_12V);
    EXPECT_TRUE(doc().heldSetup().gasoline12V());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialogs, (std::vector<QString>{"CStepStartDlg", "CStep1Dlg"}));
}

TEST_F(WizardAppTest, SemiSequentialOnSixCylindersChecksInjectorsOneAndTwoOnly) {
    sim().setInjectors(6);
    setSetupByte(kInjTypeByte, dev_setup_t::INJ_HALF_SEQ);
    startDiagnostics();
    scripts["CStepStartDlg"] = [](QDialog& dialog) {
        static_cast<CStepStartDlg&>(dialog).combo()->setCurrentText("6");
        return pressOk(dialog);
    };
    scripts["CStep1Dlg"] = pressCancel;
    doc().onAutoSet();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialogs, (std::vector<QString>{"CStepStartDlg", "CStep1Dlg"}));
    // The live samples ask for injector 1 all along; the check alone asks for others.
    EXPECT_EQ(requests(proto::MSG_TYPE_COMMAND, proto::CMD_DIAG, 1), 1);
    for (int parameter = 2; parameter < 6; ++parameter) {
        EXPECT_EQ(requests(proto::MSG_TYPE_COMMAND, proto::CMD_DIAG, parameter), 0) << parameter;
    }
}

TEST_F(WizardAppTest, ACylinderCountThatIsNoNumberSkipsTheCheckAndGoesOn) {
    coldLpgSensor();  // a check would stop the setup with its box
    startDiagnostics();
    scripts["CStepStartDlg"] = [](QDialog& dialog) {
        static_cast<CStepStartDlg&>(dialog).combo()->setEditText("x");
        return pressOk(dialog);
    };
    scripts["CStep1Dlg"] = pressCancel;
    doc().onAutoSet();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialogs, (std::vector<QString>{"CStepStartDlg", "CStep1Dlg"}));
}

TEST_F(WizardAppTest, AnLpgTemperatureOfMinus20StopsWithTheSensorLine) {
    coldLpgSensor();
    startDiagnostics();
    doc().onAutoSet();
    EXPECT_EQ(boxes, (std::vector<box_t>{{kColdLpgBox, Icon::Error}}));
    EXPECT_EQ(dialogs, (std::vector<QString>{"CStepStartDlg"}));
    EXPECT_EQ(settingsWrites(), 0);
    EXPECT_TRUE(menusEnabled());
}

TEST_F(WizardAppTest, PressureCorrectionsOffAreNotedAndTheSetupGoesOn) {
    setSetupByte(kFlagsByte, 0x11);
    startDiagnostics();
    sim().clearRequests();
    scripts["CStep2Dlg"] = pressCancel;
    doc().onAutoSet();
    EXPECT_EQ(boxes, (std::vector<box_t>{{kNoPressureCorrection, Icon::Information}}));
    EXPECT_EQ(dialogs, (std::vector<QString>{"CStepStartDlg", "CStep1Dlg", "CStep2Dlg"}));
    EXPECT_EQ(settingsWrites(), 1);
    EXPECT_EQ(sim().setup()[kFlagsByte], 0x11);
    EXPECT_EQ(commands(proto::CMD_WORK_LPG), 0);
}

// The live panel's poll while the pressure notice of Krok 1 is open reads the old
// 1200 rev/min; the wizard writes its own record, with the 1500 typed.
TEST_F(WizardAppTest, ThePollDuringKrok1LeavesTheTypedValues) {
    setSetupByte(kFlagsByte, 0x11);
    startDiagnostics();
    CDevicePanel panel(doc());
    CMessageBox::setShower([&](QWidget*, const QString& text, Icon icon, auto) {
        boxes.push_back({text, icon});
        for (int i = 0; i < 2 * CDevicePanel::kSettingsPollEvery; ++i) {
            panel.refresh();
        }
        return CMessageBox::Answer::Ok;
    });
    scripts["CStep1Dlg"] = [](QDialog& dialog) {
        static_cast<CStep1Dlg&>(dialog).edit(1059)->setText("1500");
        return pressOk(dialog);
    };
    scripts["CStep2Dlg"] = pressCancel;
    doc().onAutoSet();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(proto::getBE16(&sim().setup()[4]), 3200);  // 1500 rev/min
}

TEST_F(WizardAppTest, AWholeRunCalibratesAndEndsInAutomaticMode) {
    sim().setNeededCorrection(1.35);
    car_texts_t{"Opel", "Astra", "1.6", "100", "2004", "2.0", ""}.toRecord(doc().info());
    startDiagnostics();
    app->window().show();
    scripts["CStep1Dlg"] = [](QDialog& dialog) {
        static_cast<CStep1Dlg&>(dialog).edit(1059)->setText("1500");
        return pressOk(dialog);
    };
    QStringList endTexts;
    scripts["CStepEndDlg"] = [&](QDialog& dialog) {
        endTexts = labelTexts(dialog);
        EXPECT_TRUE(keepScreenshot(dialog, "wizard-end"));
        return pressOk(dialog);
    };
    doc().onAutoSet();
    EXPECT_EQ(dialogs, kAllDialogs);
    // The end names the result as the controller holds it.
    const QString result =
        QString("Wyznaczona główna poprawka: %1 ms (wpisana do sterownika).")
            .arg(QString::fromStdString(conv::polishNumber(controllerMainCorrection(), 3)));
    EXPECT_TRUE(endTexts.contains(result)) << endTexts.join('|').toStdString();
    EXPECT_EQ(view->progressText(), CAutoSetupView::kSucceededText);  // not "Krok 5 z 5"

    EXPECT_EQ(boxes, (std::vector<box_t>{{"Ustal wolne obroty", Icon::Information}}));
    EXPECT_TRUE(view->succeeded()) << view->logLines().join("\n").toStdString();
    EXPECT_NEAR(controllerMainCorrection(), 1.35, 0.025 + 1e-9);
    EXPECT_EQ(proto::getBE16(&sim().setup()[4]), 3200);  // 1500 rev/min in engine ticks
    EXPECT_EQ(sim().workMode(), WorkMode::Auto);
    EXPECT_EQ(commands(proto::CMD_WORK_AUTO), 1);
    EXPECT_FALSE(doc().autoSetupShown());
    EXPECT_EQ(view->logLines().mid(0, 3).last(), "Start");
    EXPECT_TRUE(lockedAtEveryDialog);
    EXPECT_TRUE(slowAtEveryDialog);
    EXPECT_EQ(periods.back(), CDeviceDoc::kNormalRefreshMs);
    EXPECT_TRUE(menusEnabled());
    // The car's file holds what the controller holds after the run's last write.
    device_info_t filed;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(app->preferences().lastCarFile(), filed));
    dev_setup_t controller;
    ASSERT_TRUE(onWorker([&] { return doc().readSetup(controller); }));
    EXPECT_EQ(filed.setup, controller);
    EXPECT_EQ(filed.make, "Opel");
}

TEST_F(WizardAppTest, StopInThePaneDuringTheCalibrationShowsTheFailureBox) {
    startDiagnostics();
    app->window().show();
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (view->logLines().contains("----Krok 1----") && view->stopButton()->isEnabled()) {
            view->stopButton()->click();
        }
    });
    stopper.start(1);
    doc().onAutoSet();
    EXPECT_EQ(boxes, (std::vector<box_t>{{"Ustal wolne obroty", Icon::Information},
                                         {kCalibrationFailed, Icon::Error}}));
    EXPECT_EQ(dialogs, std::vector<QString>(kAllDialogs.begin(), kAllDialogs.end() - 1));
    EXPECT_FALSE(view->succeeded());
    EXPECT_EQ(view->progressText(), CAutoSetupView::kFailedText);
    EXPECT_TRUE(doc().autoSetupShown());
    EXPECT_EQ(app->frame().paneWidth(CDeviceFrame::AUTO_SETUP), CDeviceFrame::kAutoSetupWidth);
    EXPECT_EQ(commands(proto::CMD_WORK_AUTO), 0);
    EXPECT_TRUE(menusEnabled());
}

// While the calibration waits for samples the window only answers its events: the GUI
// thread sleeps between them instead of spinning, and the pane's Stop still works.
TEST_F(WizardAppTest, TheCalibrationWaitLeavesTheWindowIdleAndStopWorks) {
    open(true);
    startDiagnostics();
    constexpr qint64 kWatchMs = 200;
    QElapsedTimer wall;
    double cpuAtHold = 0;
    double cpuMs = -1;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!wall.isValid() && view->logLines().contains("Start pomiaru czasu wtrysku benz.")) {
            app->held().hold();  // no sample comes any more: the run waits
            cpuAtHold = threadCpuMs();
            wall.start();
        } else if (wall.isValid() && cpuMs < 0 && wall.elapsed() >= kWatchMs) {
            cpuMs = threadCpuMs() - cpuAtHold;
            view->stopButton()->click();
            app->held().release();
        }
    });
    watcher.start(5);
    doc().onAutoSet();
    ASSERT_GE(cpuMs, 0);
    EXPECT_LT(cpuMs, kWatchMs / 4.0);
    EXPECT_EQ(boxes.back(), (box_t{kCalibrationFailed, Icon::Error}));
    EXPECT_EQ(view->logLines().back(), "Koniec");
}

// A switch to LPG the controller never confirms can be stopped: the box that waits for it
// has "Przerwij", and the setup then ends quietly rather than after all its attempts.
TEST_F(WizardAppTest, TheSwitchToLpgCanBeStopped) {
    startDiagnostics();
    bool stopShown = false;
    QTimer watch;
    COffWindow::boxAfterMs() = 0;  // the simulated line fails the switch in no time
    scripts["CStep2Dlg"] = [&](QDialog& dialog) {
        sim().faults().setDropProbability(1.0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == "stoppableOperation" && top->isVisible() && !stopShown) {
                    auto* stop = top->findChild<QPushButton*>("stop");
                    stopShown = stop && stop->text() == "Przerwij";
                    stop->click();
                }
            }
        });
        watch.start(0);
        return pressOk(dialog);
    };
    doc().onAutoSet();
    EXPECT_TRUE(stopShown);
    EXPECT_EQ(dialogs.back(), "CStep2Dlg");  // nothing after the stopped switch
    EXPECT_TRUE(boxes.empty());              // stopped, not failed
    sim().faults().setDropProbability(0);
    COffWindow::boxAfterMs() = COffWindow::kBoxAfterMs;
}

TEST_F(WizardAppTest, CancelInTheEndDialogKeepsTheResultWithoutAutomaticMode) {
    sim().setNeededCorrection(1.35);
    startDiagnostics();
    scripts["CStepEndDlg"] = pressCancel;
    doc().onAutoSet();
    EXPECT_EQ(dialogs, kAllDialogs);
    EXPECT_TRUE(view->succeeded());
    EXPECT_NEAR(controllerMainCorrection(), 1.35, 0.025 + 1e-9);
    EXPECT_EQ(commands(proto::CMD_WORK_AUTO), 0);
    EXPECT_EQ(sim().workMode(), WorkMode::Lpg);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(WizardAppTest, ARaisedErrorShowsTheSetupsErrorBoxAndFreesTheMenu) {
    startDiagnostics();
    scripts["CStepStartDlg"] = [this](QDialog& dialog) {
        sim().faults().vanish();
        return pressOk(dialog);
    };
    doc().onAutoSet();
    // The live run's lost-link box may come first: it was told while the setup waited.
    const QString heading = QString(kErrorHeading) + "\n";
    const auto setupBox = std::find_if(
        boxes.begin(), boxes.end(), [&](const auto& box) { return box.text.startsWith(heading); });
    ASSERT_NE(setupBox, boxes.end());
    EXPECT_GT(setupBox->text.size(), heading.size());
    EXPECT_EQ(setupBox->icon, Icon::Error);
    EXPECT_EQ(dialogs, (std::vector<QString>{"CStepStartDlg"}));
    EXPECT_TRUE(menusEnabled());
}

// --- the dialogs ---------------------------------------------------------------------

// Every text has the room it needs and the dialog fits on a 1024 × 768 screen.
void expectNothingClipped(QDialog& dialog) {
    dialog.show();
    EXPECT_LE(dialog.frameGeometry().width(), 1024) << dialog.windowTitle().toStdString();
    EXPECT_LE(dialog.frameGeometry().height(), 768 - 40) << dialog.windowTitle().toStdString();
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        EXPECT_GE(label->height(), needed) << label->text().toStdString();
        if (!label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    }
    dialog.hide();
}

TEST(StepDialogsTest, EachStepShowsItsTextsAndButtonsUnclipped) {
    dev_setup_t setup;
    const struct {
        std::function<std::unique_ptr<CStepBaseDlg>()> make;
        const char* caption;
        const char* ok;
        const char* cancel;
        QStringList texts;
    } cases[] = {
        {[] { return std::make_unique<CStepStartDlg>(); },
         "Ustawienia krok po kroku",
         "Dalej >>",
         "Przerwij",
         {"Procedura wymaga podania kilku podstawowych informacji dotyczących silnika "
          "samochodu.",
          "Ilość cylindrów"}},
        {[&] { return std::make_unique<CStep1Dlg>(nullptr, setup); },
         "Krok 1",
         "Dalej >>",
         "Przerwij",
         {"Podaj podstawowe informacje dotyczące konfiguracji sterownika instalacji LPG.\n"
          "Wszystkie pola są uzupełnione zalecanymi wartościami.",
          "Obroty automatycznego przełączenia na LPG",
          "Temperatura automatycznego przełączenia na LPG",
          "Temperatura wewnętrzna sterownika powodująca awaryjne przełączenie na benzynę",
          "Ciśnienie przełączenia na benzynę [kPa] (pusty zbiornik)",
          "Ilość impulsów zapłonu na cykl",
          "Minimalne napięcie zasilania sterownika powodująca awaryjne przełączenie na "
          "benzynę [V]",
          "Opóźnienie włączenia emulatora wtryskiwaczy benzynowych przy przejściu na LPG "
          "[sek] (nakładkowanie)"}},
        {[] { return std::make_unique<CStep2Dlg>(); },
         "Krok 2",
         "Przełącz na LPG",
         "Przerwij",
         {"W tym kroku silnik zostanie po raz pierwszy przełączony na LPG. ",
          "Przed przełączeniem silnik musi pracować na stabilnych wolnych obrotach na "
          "benzynie."}},
        {[] { return std::make_unique<CStep3Dlg>(); },
         "Krok 3",
         "Dalej >>",
         "Przerwij",
         {"Jeżeli silnik podczas pracy na LPG utrzymuje stabilne obroty, można przejść do "
          "dalszego etapu. ",
          "W przeciwnym wypadku należy przerwać autokalibrację i wykonać poniższe czynności:",
          "-sprawdzić czy ciśnienie reduktora przy pracy na LPG  utrzymuje się w okolicy "
          "WYMAGANYCH 100 kPa",
          "-zmniejszyć wydatek zastosowanych wtryskiwaczy gazowych o 20%",
          "Po wykonaniu ww. czynności należy ponownie włączyć autokalibrację."}},
        {[] { return std::make_unique<CStep4Dlg>(); },
         "Krok 4",
         "Dalej >>",
         "Przerwij",
         {"W tym kroku uruchomiona zostanie procedura automatycznego ustawienia poprawek dla "
          "czasów wtrysku LPG. Silnik będzie kilkakrotnie przełączany z benzyny na LPG i "
          "odwrotnie.",
          "W trakcie autokalibracji silnik musi pozostać na wolnych obrotach.",
          "Silnik nie powinien być PRZEGRZANY.",
          "W czasie trwania autokalibracji nie należy w żaden sposób zmieniać warunków pracy "
          "silnika, np. zmieniać obrotów, włączać świateł, klimatyzacji i innych źródeł "
          "obciążenia. "}},
        {[] { return std::make_unique<CStepEndDlg>(nullptr, 1.35); },
         "Krok 3",
         "Koniec",
         "Anuluj",
         {"Procedura autokalibracji została zakończona pomyślnie.",
          QString("Wyznaczona główna poprawka: %1 ms (wpisana do sterownika).")
              .arg(QString::fromStdString(conv::polishNumber(1.35, 3))),
          "Sterownik zostanie przełączony w tryb pracy automatycznej (AUTO)."}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<CStepBaseDlg> dialog = c.make();
        EXPECT_EQ(dialog->windowTitle(), c.caption);
        EXPECT_EQ(dialog->okButton()->text(), c.ok) << c.caption;
        EXPECT_EQ(dialog->cancelButton()->text(), c.cancel) << c.caption;
        EXPECT_TRUE(dialog->okButton()->isDefault()) << c.caption;
        EXPECT_EQ(labelTexts(*dialog), c.texts) << labelTexts(*dialog).join('|').toStdString();
        expectNothingClipped(*dialog);
        dialog->cancelButton()->click();
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << c.caption;
    }
}

TEST(StepDialogsTest, TheCylinderListOffersTheUsualCountsAndTakesATypedOne) {
    CStepStartDlg dialog;
    QComboBox* combo = dialog.combo();
    EXPECT_EQ(combo->objectName(), "combo1139");
    EXPECT_TRUE(combo->isEditable());
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    EXPECT_EQ(items, (QStringList{"3", "4", "5", "6", "8"}));
    EXPECT_EQ(dialog.cylinders(), "4");
    combo->setEditText("12");
    EXPECT_EQ(dialog.cylinders(), "12");
}

TEST(StepDialogsTest, BasicSettingsShowTheRecordAndTakeOnlyNumbers) {
    std::vector<QString> boxes;
    CMessageBox::setShower([&](QWidget*, const QString& text, auto, auto) {
        boxes.push_back(text);
        return CMessageBox::Answer::Ok;
    });
    dev_setup_t setup;
    setup.minSupply = 10.5;
    setup.ignitionPulses = 2;
    CStep1Dlg dialog(nullptr, setup);
    QStringList shown;
    for (int id : CStep1Dlg::kIds) {
        ASSERT_NE(dialog.edit(id), nullptr) << id;
        EXPECT_EQ(dialog.edit(id)->objectName(), QString("edit%1").arg(id));
        shown << dialog.edit(id)->text();
    }
    EXPECT_EQ(shown, (QStringList{"1200", "35", "75", "70", "2", "10.5", "0"}));

    const dev_setup_t before = setup;
    dialog.edit(1071)->setText("abc");
    dialog.edit(1059)->setText("1500");
    dialog.okButton()->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(setup, before);  // nothing taken while a field is refused
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].contains("Minimalne napięcie zasilania")) << boxes[0].toStdString();

    dialog.edit(1071)->setText("11,5");
    dialog.edit(1076)->setText("300");
    dialog.okButton()->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(boxes.size(), 2u);

    dialog.edit(1076)->setText("4");
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(setup.switchSpeed, 1500);
    EXPECT_DOUBLE_EQ(setup.minSupply, 11.5);
    EXPECT_EQ(setup.ignitionPulses, 4);
    CMessageBox::setShower({});
}

}  // namespace
