// SPDX-License-Identifier: GPL-3.0-or-later
// The auto-calibration run against the in-process simulated controller.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "auto_setup_rig.h"
#include "autosetup/auto_setup_text.h"
#include "link/conversions.h"
#include "settings/car_info.h"

namespace {

using namespace std::chrono_literals;
using Outcome = CAutoSetup::Outcome;

constexpr double kStep = 0.025;
const std::string kSeparator(82, '-');
const char* const kTooSmall =
    "Wyliczono zbyt małą poprawkę.\n"
    "Aby poprawnie ustawić sterownik spróbuj wykonać nastepujące czynności:\n"
    "-zmienić wtryskiwacze na mniejsze lub \n"
    "-obniżyć cisnienie reduktora lub \n"
    "-zwiększyć opóźnienie wtrysku.\n";
const char* const kTooLarge =
    "Wyliczono zbyt dużą poprawkę.\nNależy zmienić wtryskiwacze na większe.";

std::string g(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The whole log of a successful run, built from what each step measured.
std::vector<std::string> expectedLog(const CAutoSetup& run) {
    std::vector<std::string> lines;
    int number = 1;
    for (const auto& step : run.steps()) {
        lines.push_back("----Krok " + std::to_string(number++) + "----");
        lines.push_back("Przełączenie na benzynę...");
        lines.push_back("Start pomiaru czasu wtrysku benz.");
        lines.push_back("Czas benzynowy = " + g(conv::roundToTimeStep(step.gasolineMs)));
        lines.push_back("Przełączenie na LPG...");
        lines.push_back("Czas benzynowy na LPG = " + g(conv::roundToTimeStep(step.lpgMs)));
        lines.push_back("Poprawka = " + g(step.correction) + " ms");
    }
    lines.push_back("---- Wyniki ----:");
    lines.push_back("Stała poprawka = " + g(run.constantCorrection().value_or(-99)) + " ms");
    lines.push_back("Wpisanie wyliczonych ustawień...");
    lines.push_back("Koniec ustawiania");
    lines.push_back("Główna poprawka wpisana do sterownika = " +
                    g(run.writtenCorrection().value_or(-99)) + " ms");
    lines.push_back(kSeparator);
    return lines;
}

TEST(AutoSetupRun, ConvergesOnTheNeededCorrectionAndFilesIt) {
    AutoSetupRig rig(1.35, 1.0);
    ASSERT_TRUE(rig.procedure->doWork());
    const CAutoSetup& run = *rig.procedure;
    EXPECT_EQ(run.outcome(), Outcome::Succeeded);
    EXPECT_TRUE(run.succeeded());
    EXPECT_FALSE(run.running());
    EXPECT_EQ(rig.ui.questions, std::vector<std::string>{"Ustal wolne obroty"});
    EXPECT_TRUE(rig.ui.boxes().empty());
    ASSERT_EQ(run.steps().size(), 5u);
    EXPECT_NEAR(run.steps()[0].correction, 0.35, kStep);
    for (const auto& step : run.steps()) {
        EXPECT_DOUBLE_EQ(step.correction, conv::roundToTimeStep(step.lpgMs - step.gasolineMs));
    }
    const double main = rig.device->heldSetup().mainCorrection;
    EXPECT_NEAR(main, 1.35, kStep + 1e-9);
    EXPECT_DOUBLE_EQ(rig.controllerMainCorrection(), main);  // the settings written last
    EXPECT_EQ(rig.settingsWrites(), 2);                      // after step 1 and at the end
    EXPECT_EQ(rig.ui.lines(), expectedLog(run));
    EXPECT_EQ(rig.ui.buttons, (std::vector<std::string>{"stop 0", "start 1"}));
    EXPECT_EQ(rig.ui.refreshes, 1);
    EXPECT_TRUE(rig.sim->onLpg());

    // The car settings file holds the result and the reducer pressure measured on LPG.
    const double kpa = run.steps().back().reducerKpa;
    EXPECT_GT(kpa, 60.0);
    EXPECT_DOUBLE_EQ(rig.device->info().reducerPressure, kpa);
    device_info_t filed;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(rig.carStore->lastPath(), filed));
    EXPECT_DOUBLE_EQ(filed.setup.mainCorrection, main);
    EXPECT_DOUBLE_EQ(filed.reducerPressure, kpa);
}

// The first correction moves the main correction; 0.0 and 4.0 are its limits after step 1.
struct limit_case_t {
    const char* name;
    double needed, main;
    Outcome outcome;
    const char* box;      // nullptr: none
    double firstWritten;  // the main correction written after step 1; < 0: none
    double finalMain;     // what the controller holds at the end
    std::size_t steps;
};

class AutoSetupLimits : public ::testing::TestWithParam<limit_case_t> {};

TEST_P(AutoSetupLimits, FirstCorrectionIsKeptWithinLimits) {
    const limit_case_t& c = GetParam();
    AutoSetupRig rig(c.needed, c.main);
    double written = -1;
    rig.ui.onLog = [&](const std::string& line) {
        if (line == "----Krok 2----")
            written = rig.controllerMainCorrection();
    };
    EXPECT_EQ(rig.procedure->doWork(), c.outcome == Outcome::Succeeded);
    EXPECT_EQ(rig.procedure->outcome(), c.outcome);
    EXPECT_EQ(rig.procedure->steps().size(), c.steps);
    const auto boxes = rig.ui.boxes();
    EXPECT_EQ(boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    // The step's measurement may land one time step either side of the needed value.
    EXPECT_NEAR(written, c.firstWritten, kStep + 1e-9);
    EXPECT_NEAR(rig.device->heldSetup().mainCorrection, c.finalMain, kStep + 1e-9);
    const auto lines = rig.ui.lines();
    EXPECT_EQ(lines.back(), c.outcome == Outcome::Succeeded ? kSeparator : "Koniec");
    if (c.firstWritten < 0) {
        EXPECT_EQ(rig.settingsWrites(), 0);
        EXPECT_DOUBLE_EQ(rig.controllerMainCorrection(), c.main);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, AutoSetupLimits,
    ::testing::Values(
        // −0.3 ms found with 0.2 ms set: 0.0 in the program only, and the run ends.
        limit_case_t{"too_small", -0.1, 0.2, Outcome::TooSmall, kTooSmall, -1, 0.2, 1},
        // 4.5 ms found with 1.0 ms set: 4.0 is written, steps 2 to 5 find the 1.5 still
        // lacking and the end adds it without a range check.
        limit_case_t{"too_large", 5.5, 1.0, Outcome::Succeeded, kTooLarge, 4.0, 5.5, 5},
        // A negative first correction that stays above 0.0 is no reason to stop.
        limit_case_t{"shorter", 0.7, 1.0, Outcome::Succeeded, nullptr, 0.7, 0.7, 5}),
    [](const auto& info) { return std::string(info.param.name); });

// An engine lacking 8 ms: step 1 writes the 4.0 ms limit, the end finds 8.0 ms, which
// the record cannot hold (its byte would wrap to 1.575 ms); nothing more is written.
TEST(AutoSetupRun, AResultTheRecordCannotHoldEndsTheRunUnwritten) {
    AutoSetupRig rig(8.0, 1.0);
    EXPECT_FALSE(rig.procedure->doWork());
    EXPECT_EQ(rig.procedure->outcome(), Outcome::OutOfRange);
    EXPECT_FALSE(rig.procedure->succeeded());
    EXPECT_DOUBLE_EQ(rig.controllerMainCorrection(), 4.0);
    EXPECT_EQ(rig.procedure->writtenCorrection(), std::optional<double>(4.0));
    const auto boxes = rig.ui.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], autosetup_text::outOfRangeText(8.0, 4.0));
    EXPECT_NE(boxes[1].find("(8,000 ms)"), std::string::npos) << boxes[1];
    EXPECT_NE(boxes[1].find("pozostała główna poprawka 4,000 ms"), std::string::npos);
}

// The live panel's poll just before the final write reads the 4.0 ms that step 1 wrote;
// the procedure still writes its own 5.5 ms.
TEST(AutoSetupRun, APollDuringTheFinalWriteChangesNothingWritten) {
    AutoSetupRig rig(5.5, 1.0);
    rig.ui.onLog = [&](const std::string& line) {
        if (line == autosetup_text::kWriting) {
            EXPECT_TRUE(rig.device->readSetup());
        }
    };
    EXPECT_TRUE(rig.procedure->doWork());
    EXPECT_NEAR(rig.controllerMainCorrection(), 5.5, kStep + 1e-9);
}

// The closing box names only what is known: a switch to LPG the controller made without
// confirming it is told from its samples, not as the gasoline it confirmed before; with
// no sample since, the mode is said to be unknown.
TEST(AutoSetupRun, AnUnconfirmedSwitchIsToldFromTheSamples) {
    AutoSetupRig rig(1.35, 1.0);
    rig.ui.onLog = [&](const std::string& line) {
        if (line == autosetup_text::kToLpg) {
            rig.sim->faults().dropNext(100);  // taken, never confirmed
        }
    };
    EXPECT_FALSE(rig.procedure->doWork());
    rig.sim->faults().dropNext(0);
    const auto onLpg = [&] {
        app_msg_t last;
        return rig.store.getLast(&last) && last.onLpg();
    };
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!onLpg() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(onLpg());
    EXPECT_NE(
        rig.procedure->summary().find("Według ostatnich próbek sterownik pracuje w trybie LPG"),
        std::string::npos)
        << rig.procedure->summary();
    EXPECT_NE(
        autosetup_text::failedSummary("x", autosetup_text::mode_left_t::Unknown, false, nullptr)
            .find("Nie wiadomo, w jakim trybie pracuje sterownik"),
        std::string::npos);
}

TEST(AutoSetupRun, CancelOnTheIdleQuestionTouchesNothing) {
    AutoSetupRig rig(1.35, 1.0);
    rig.ui.answer = false;
    rig.sim->clearRequests();
    EXPECT_FALSE(rig.procedure->doWork());
    EXPECT_EQ(rig.procedure->outcome(), Outcome::Refused);
    EXPECT_EQ(rig.ui.lines(), std::vector<std::string>{"Koniec"});
    EXPECT_EQ(rig.ui.buttons, (std::vector<std::string>{"start 1", "stop 0"}));
    EXPECT_FALSE(rig.procedure->running());
    for (std::uint8_t code : {proto::CMD_SETUP, proto::CMD_WORK_GAS, proto::CMD_WORK_LPG}) {
        EXPECT_EQ(rig.commands(code), 0) << int{code};
    }
    EXPECT_EQ(rig.settingsWrites(), 0);
}

// A Stop pressed before the worker has got going is not undone by the run.
TEST(AutoSetupRun, StopRightAfterStartIsNotUndoneByTheRun) {
    AutoSetupRig rig(1.35, 1.0);
    rig.sim->clearRequests();
    CThreadManager manager;
    ASSERT_TRUE(rig.procedure->start(manager));
    EXPECT_FALSE(rig.procedure->start(manager));  // one run at a time
    rig.procedure->stop();
    manager.joinAll();
    EXPECT_FALSE(rig.procedure->active());
    EXPECT_EQ(rig.procedure->outcome(), Outcome::Stopped);
    // How far the worker got before the Stop depends on the scheduler; it never gets
    // as far as a write, and the run ends as every stopped run does.
    ASSERT_FALSE(rig.ui.lines().empty());
    EXPECT_EQ(rig.ui.lines().back(), "Koniec");
    EXPECT_EQ(rig.settingsWrites(), 0);
}

// Stop while the third step waits after switching to LPG, with the real 50 ms poll.
TEST(AutoSetupRun, StopDuringAWaitEndsWithinOnePoll) {
    AutoSetupRig rig(1.35, 1.0);
    rig.procedure->setPollInterval(CAutoSetup::kPollInterval);
    std::atomic<int> lpgSwitches{0};
    rig.ui.onLog = [&](const std::string& line) {
        if (line == "Przełączenie na LPG..." && ++lpgSwitches == 3)
            rig.diagOn = false;  // no more samples: the run waits until stopped
    };
    std::chrono::steady_clock::time_point stoppedAt;
    std::thread stopper([&] {
        while (lpgSwitches < 3 || rig.commands(proto::CMD_WORK_LPG) < 3)
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(30ms);  // well inside the wait
        stoppedAt = std::chrono::steady_clock::now();
        rig.procedure->stop();
    });
    EXPECT_FALSE(rig.procedure->doWork());
    const auto ended = std::chrono::steady_clock::now();
    stopper.join();
    EXPECT_LE(ended - stoppedAt, 100ms);
    EXPECT_EQ(rig.procedure->outcome(), Outcome::Stopped);
    EXPECT_FALSE(rig.procedure->succeeded());
    EXPECT_TRUE(rig.sim->onLpg());  // left as it was
    const auto lines = rig.ui.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Przełączenie na LPG...");
    EXPECT_EQ(lines.back(), "Koniec");
    EXPECT_EQ(rig.procedure->steps().size(), 2u);
}

// The controller goes quiet (or away) when step 2 switches to gasoline.
struct failure_case_t {
    const char* name;
    bool vanish;
    Outcome outcome;
    std::vector<std::string> lastLines;
    const char* boxStart;
};

class AutoSetupFailures : public ::testing::TestWithParam<failure_case_t> {};

TEST_P(AutoSetupFailures, EndsWithTheErrorLineAndTheEnding) {
    const failure_case_t& c = GetParam();
    AutoSetupRig rig(1.35, 1.0);
    int gasolineSwitches = 0;
    rig.ui.onLog = [&](const std::string& line) {
        if (line == "Przełączenie na benzynę..." && ++gasolineSwitches == 2) {
            c.vanish ? rig.sim->faults().vanish() : rig.sim->faults().setDropProbability(1.0);
        }
    };
    EXPECT_FALSE(rig.procedure->doWork());
    EXPECT_EQ(rig.procedure->outcome(), c.outcome);
    const auto lines = rig.ui.lines();
    ASSERT_GE(lines.size(), c.lastLines.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - c.lastLines.size(), lines.end()), c.lastLines);
    const auto boxes = rig.ui.boxes();
    if (c.boxStart) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind(c.boxStart, 0), 0u) << boxes[0];
    } else {
        EXPECT_TRUE(boxes.empty());
    }
    EXPECT_EQ(rig.ui.buttons, (std::vector<std::string>{"start 1", "stop 0"}));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, AutoSetupFailures,
    ::testing::Values(failure_case_t{"silent",
                                     false,
                                     Outcome::ControllerFailed,
                                     {"----Krok 2----", "Przełączenie na benzynę...",
                                      "Błąd - Nie można przełączyć na benzynę!", "Koniec"},
                                     nullptr},
                      failure_case_t{"port_gone",
                                     true,
                                     Outcome::Error,
                                     {"----Krok 2----", "Przełączenie na benzynę...", "Koniec"},
                                     "Błąd wykonania procedury autoustawiania\nSzczegóły: "
                                     "CAutoSetupView::doWork()\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A zero tolerance refuses even the median itself.
// A mode switch on a controller that has fallen silent takes ten pauses and time-outs;
// Stop ends it before the next attempt, and the run is stopped, not failed.
TEST(AutoSetupRun, StopDuringAModeSwitchOnASilentControllerEndsAtOnce) {
    AutoSetupRig rig(1.35, 1.0);
    rig.device->setWorkModePause(500ms);
    std::atomic<bool> switching{false};
    rig.ui.onLog = [&](const std::string& line) {
        if (line == "Przełączenie na benzynę...") {
            rig.sim->faults().setDropProbability(1.0);
            switching = true;
        }
    };
    std::chrono::steady_clock::time_point stoppedAt;
    std::thread stopper([&] {
        while (!switching)
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(700ms);  // inside the second attempt's pause
        stoppedAt = std::chrono::steady_clock::now();
        rig.procedure->stop();
    });
    EXPECT_FALSE(rig.procedure->doWork());
    const auto ended = std::chrono::steady_clock::now();
    stopper.join();
    EXPECT_LE(ended - stoppedAt, 150ms);
    EXPECT_EQ(rig.procedure->outcome(), Outcome::Stopped);
    EXPECT_TRUE(rig.ui.boxes().empty());
    EXPECT_EQ(rig.ui.lines().back(), "Koniec");
    EXPECT_LE(rig.commands(proto::CMD_WORK_GAS), 2);
}

TEST(AutoSetupRun, EveryCorrectionRefusedKeepsTheFirstStepsValue) {
    AutoSetupRig rig(1.35, 1.0);
    rig.procedure->setTolerancePercent(0.0);
    EXPECT_FALSE(rig.procedure->doWork());
    EXPECT_EQ(rig.procedure->outcome(), Outcome::AllRejected);
    EXPECT_EQ(rig.ui.boxes(), std::vector<std::string>{"Błąd procedury autoustawiania. Wszystkie "
                                                       "wartości średnie zostały odrzucone"});
    EXPECT_TRUE(rig.procedure->acceptedCorrections().empty());
    EXPECT_FALSE(rig.procedure->constantCorrection());
    EXPECT_EQ(rig.ui.lines().back(), "Koniec");
    EXPECT_EQ(rig.ui.buttons, (std::vector<std::string>{"start 1", "stop 0"}));
    EXPECT_EQ(rig.settingsWrites(), 1);
    const double afterStep1 = 1.0 + rig.procedure->steps()[0].correction;
    EXPECT_NEAR(rig.device->heldSetup().mainCorrection, afterStep1, 1e-9);
    EXPECT_NEAR(rig.controllerMainCorrection(), afterStep1, 1e-9);
}

}  // namespace
