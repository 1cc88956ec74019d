// SPDX-License-Identifier: GPL-3.0-or-later
// The step-by-step setup against the in-process simulated controller, its dialogs
// answered by a script.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "autosetup/auto_setup_text.h"
#include "autosetup/setup_wizard.h"
#include "autosetup/setup_wizard_text.h"
#include "connected_sim.h"
#include "diag/diag_data.h"
#include "diag_tamper_line.h"
#include "link/lpg_device.h"
#include "link/protocol.h"
#include "sim/controller_sim.h"

namespace {

using End = CSetupWizard::End;
using Calibration = ISetupWizardUi::Calibration;
using namespace setup_wizard_text;

// The function flags in the settings record on the line.
constexpr std::size_t kFlagsByte = 9;

// Answers the dialogs from a script and writes down every call as one event.
class ScriptedWizardUi : public ISetupWizardUi {
  public:
    void showMessage(const std::string& text, Icon icon) override {
        const char* mark = icon == Icon::Error ? "E" : icon == Icon::Information ? "I" : "-";
        events.push_back(std::string("box ") + mark + ": " + text);
    }
    void showErrors(const CLPGDeviceErr::report_t&) override { events.push_back("errors"); }
    bool askCarInfo() override { return answer("car"); }
    Run runStoppable(const std::string& text, const std::function<bool()>& operation) override {
        if (stopped.count(text)) {
            events.push_back("stopped: " + text);
            return Run::Stopped;
        }
        return operation() ? Run::Done : Run::Failed;
    }
    std::set<std::string> stopped;
    bool askCylinders(std::string& count) override {
        count = cylinders;
        return answer("cylinders");
    }
    bool askBasicSettings(dev_setup_t& setup) override {
        if (editSettings) {
            editSettings(setup);
        }
        return answer("settings");
    }
    bool confirm(Step step) override {
        static const char* const kNames[] = {"step2", "step3", "step4", "end"};
        return answer(kNames[static_cast<int>(step)]);
    }
    bool askTolerance(double& percent) override {
        events.push_back("tolerance " + autosetup_text::number(percent));
        percent = tolerance;
        return answer("");
    }
    void showCalibrationPane(bool shown) override { events.push_back(shown ? "pane 1" : "pane 0"); }
    Calibration runCalibration(double percent) override {
        events.push_back("calibrate " + autosetup_text::number(percent));
        return calibration;
    }

    std::vector<std::string> events;
    std::string cylinders = "4";
    double tolerance = 12.5;
    Calibration calibration = Calibration::Succeeded;
    std::function<void(dev_setup_t&)> editSettings;
    // Dialogs answered with Cancel, and what happens as each dialog is shown.
    std::set<std::string> cancel;
    std::function<void(const std::string&)> onDialog;

  private:
    bool answer(const std::string& dialog) {
        if (!dialog.empty()) {
            events.push_back(dialog);
        }
        if (onDialog) {
            onDialog(dialog);
        }
        return cancel.count(dialog) == 0;
    }
};

// A connected controller, a sample in the store, the car information given.
class WizardTest : public ::testing::Test {
  public:
    WizardTest() {
        EXPECT_TRUE(device->isConnected());
        device->setCarInfoGiven(true);
        store.push(app_msg_t{});
        sim->clearRequests();
    }

    End run() {
        CSettingsWrite settingsWrite(*device);
        CSetupWizard wizard(*device, store, ui, settingsWrite);
        wizard.setDiagnosticFlag(&diagOn);
        return wizard.run();
    }
    void setSetupByte(std::size_t offset, std::uint8_t value) {
        setup_line_t setup = sim->setup();
        setup[offset] = value;
        sim->setSetup(setup);
    }
    int requests(std::uint8_t type, std::uint8_t command = 0) const {
        int count = 0;
        for (const auto& request : sim->requests()) {
            count += request.type == type && request.command == command;
        }
        return count;
    }
    int commands(std::uint8_t code) const { return requests(proto::MSG_TYPE_COMMAND, code); }
    int settingsWrites() const { return requests(proto::MSG_TYPE_SETUP); }
    // The injectors of the diagnostic requests, in order.
    std::vector<int> diagInjectors() const {
        std::vector<int> injectors;
        for (const auto& request : sim->requests()) {
            if (request.type == proto::MSG_TYPE_COMMAND && request.command == proto::CMD_DIAG) {
                injectors.push_back(request.parameter + 1);
            }
        }
        return injectors;
    }

    // The diagnostic payloads pass `tamper` on their way from the controller.
    CConnectedSim::options_t tampered() {
        CConnectedSim::options_t options;
        options.wrap = [this](std::unique_ptr<ISerialLine> inner) {
            return std::make_unique<CDiagTamperLine>(
                std::move(inner), [this](int injector, std::uint8_t* payload) {
                    return tamper ? tamper(injector, payload) : true;
                });
        };
        return options;
    }

    std::function<bool(int, std::uint8_t*)> tamper;
    CConnectedSim connected{tampered()};
    CControllerSim* sim = &connected.sim();
    CLPGDevice* device = &connected.device();
    CDiagData store;
    std::atomic<bool> diagOn{true};
    ScriptedWizardUi ui;
};

TEST(SetupWizardCountTest, InjectorsToCheckFollowTheTypedCountAndTheInjectionType) {
    constexpr std::uint8_t kHalf = dev_setup_t::INJ_HALF_SEQ;
    constexpr std::uint8_t kNon = dev_setup_t::INJ_NON_SEQ;
    const struct {
        const char* typed;
        std::uint8_t injType;
        int count;
    } cases[] = {
        {"4", 0, 4},     {" 6 ", 0, 6},   {"x", 0, 0},    {"", 0, 0},
        {"6 cyl", 0, 0}, {"-3", 0, 0},    {"12", 0, 8},   {"4", dev_setup_t::INJ_12V, 4},
        {"6", kHalf, 2}, {"x", kHalf, 2}, {"6", kNon, 1}, {"6", kHalf | kNon, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CSetupWizard::injectorsToCheck(c.typed, c.injType), c.count)
            << "'" << c.typed << "' type " << int(c.injType);
    }
}

TEST_F(WizardTest, AWholeRunGoesThroughEveryStepAndEndsInAutomaticMode) {
    // A map and the flag cleared with it were on before.
    setSetupByte(kFlagsByte, 0x13 | 0x20 | 0x40);
    EXPECT_EQ(run(), End::Finished);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"cylinders", "settings", "step2", "step3",
                                                   "step4", "pane 1", "tolerance 10",
                                                   "calibrate 12.5", "pane 0", "end"}));
    EXPECT_EQ(diagInjectors(), (std::vector<int>{1, 1, 2, 3, 4}));
    EXPECT_EQ(settingsWrites(), 1);
    EXPECT_EQ(sim->setup()[kFlagsByte], 0x13);
    EXPECT_EQ(commands(proto::CMD_WORK_LPG), 1);
    EXPECT_EQ(commands(proto::CMD_WORK_AUTO), 1);
    EXPECT_EQ(sim->workMode(), WorkMode::Auto);
}

TEST_F(WizardTest, CancelAtAnyDialogStopsWithoutABox) {
    const struct {
        const char* dialog;
        int writes;
        int lpg;
    } cases[] = {
        {"cylinders", 0, 0}, {"settings", 0, 0}, {"step2", 1, 0},
        {"step3", 1, 1},     {"step4", 1, 1},    {"", 1, 1},  // the tolerance
        {"end", 1, 1},
    };
    for (const auto& c : cases) {
        sim->clearRequests();
        ui.events.clear();
        ui.cancel = {c.dialog};
        EXPECT_EQ(run(), End::Cancelled) << c.dialog;
        for (const auto& event : ui.events) {
            EXPECT_NE(event.rfind("box", 0), 0u) << c.dialog << ": " << event;
        }
        EXPECT_EQ(settingsWrites(), c.writes) << c.dialog;
        EXPECT_EQ(commands(proto::CMD_WORK_LPG), c.lpg) << c.dialog;
        EXPECT_EQ(commands(proto::CMD_WORK_AUTO), 0) << c.dialog;
    }
}

TEST_F(WizardTest, EachFailureShowsItsBoxAndEndsTheSetup) {
    const std::string kError = "box E: ";
    const struct {
        const char* name;
        std::function<void(WizardTest&)> arrange;
        End end;
        std::vector<std::string> events;
    } cases[] = {
        {"car information refused",
         [](WizardTest& t) {
             t.device->setCarInfoGiven(false);
             t.ui.cancel.insert("car");
         },
         End::NoCarInfo,
         {"car", std::string("box -: ") + kNoCarInfo}},
        {"errors not read",
         [](WizardTest& t) { t.sim->faults().dropNext(CSetupWizard::kSampleAttempts); },
         End::ErrorsUnread,
         {std::string("box -: ") + kErrorsUnread}},
        {"no samples",
         [](WizardTest& t) { t.store.clear(); },
         End::NoSamples,
         {kError + kNoSamples}},
        {"diagnostics off",
         [](WizardTest& t) { t.diagOn = false; },
         End::NoSamples,
         {kError + kNoSamples}},
        {"no diagnostic reply",
         [](WizardTest& t) { t.tamper = [](int, std::uint8_t*) { return false; }; },
         End::NoDiagSample,
         {kError + kNoDiagSample}},
        {"settings refused",
         [](WizardTest& t) {
             t.ui.editSettings = [](dev_setup_t& setup) { setup.switchSpeed = 50; };
         },
         End::SetupRefused,
         {"cylinders", "settings", kError + "Błędna wartość prędkości przełączenia na LPG\n"}},
        {"no switch to LPG",
         [](WizardTest& t) {
             t.ui.onDialog = [&t](const std::string& dialog) {
                 if (dialog == "step2") {
                     t.sim->faults().dropNext(10);
                 }
             };
         },
         End::LpgFailed,
         {"cylinders", "settings", "step2", kError + kLpgFailed}},
        {"calibration failed",
         [](WizardTest& t) { t.ui.calibration = Calibration::Failed; },
         End::CalibrationFailed,
         {"cylinders", "settings", "step2", "step3", "step4", "pane 1", "tolerance 10",
          "calibrate 12.5", kError + kCalibrationFailed}},
        {"window closed during the calibration",
         [](WizardTest& t) { t.ui.calibration = Calibration::Abandoned; },
         End::Abandoned,
         {"cylinders", "settings", "step2", "step3", "step4", "pane 1", "tolerance 10",
          "calibrate 12.5"}},
        {"no automatic mode",
         [](WizardTest& t) {
             t.ui.onDialog = [&t](const std::string& dialog) {
                 if (dialog == "end") {
                     t.sim->faults().dropNext(10);
                 }
             };
         },
         End::AutoFailed,
         {"cylinders", "settings", "step2", "step3", "step4", "pane 1", "tolerance 10",
          "calibrate 12.5", "pane 0", "end", kError + kAutoFailed}},
    };
    for (const auto& c : cases) {
        WizardTest& t = *this;
        t.ui = ScriptedWizardUi{};
        t.tamper = nullptr;
        t.store.clear();
        t.store.push(app_msg_t{});
        t.diagOn = true;
        t.device->setCarInfoGiven(true);
        c.arrange(t);
        EXPECT_EQ(run(), c.end) << c.name;
        EXPECT_EQ(ui.events, c.events) << c.name;
    }
}

TEST_F(WizardTest, ARaisedErrorShowsTheSetupsErrorBox) {
    ui.onDialog = [this](const std::string& dialog) {
        if (dialog == "cylinders") {
            sim->faults().vanish();
        }
    };
    EXPECT_EQ(run(), End::Error);
    ASSERT_EQ(ui.events.size(), 2u);
    const std::string box = ui.events[1];
    EXPECT_EQ(box.rfind(std::string("box E: ") + kErrorHeading + "\n", 0), 0u) << box;
    EXPECT_GT(box.size(), std::string("box E: ").size() + std::string(kErrorHeading).size() + 1);
}

}  // namespace
