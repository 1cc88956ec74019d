// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_device_ui.h"
#include "link/lpg_device.h"
#include "writes/data_write.h"
#include "writes/settings_write.h"

namespace CLI {
class App;
}
class CRecordingWriter;

// vapron-cli: every controller operation and recording tool without a window.
class CCliApp {
  public:
    // What each means is told by the help's footer (CCliUsage::kExitCodes).
    enum Exit { EXIT_OK = 0, EXIT_NO_ANSWER = 1, EXIT_USAGE = 2, EXIT_IO = 3, EXIT_DIFFERENT = 4 };

    CCliApp();
    ~CCliApp();
    int run(int argc, char** argv);

  private:
    struct Options;

    void defineGlobalOptions(CLI::App& app);
    void defineCommands(CLI::App& app);
    int dispatch(CLI::App& app);

    // Opens the port the options name (or searches ports 1 to 4 and the USB adapters
    // found beyond them) and checks the controller; returns EXIT_OK or the exit code to
    // end with.
    int connectDevice();
    int probePorts(std::vector<int>& openable);
    int fail(int code, const std::string& message);
    int print(const nlohmann::json& object, const std::string& text);

    // Commands that talk to the controller.
    int cmdInfo();
    int cmdSettingsGet();
    int cmdSettingsSet();
    // settings diff|load (cli_settings_diff.cpp).
    void defineSettingsFileCommands(CLI::App& settings);
    int cmdSettingsDiff();
    int cmdSettingsLoad();
    int cmdErrors();
    int cmdMode();
    int cmdEepromRead();
    int cmdEepromWrite();
    int cmdMapRead();
    int cmdMapWrite();
    int cmdTableRead();
    int cmdTableWrite();
    int cmdFuelRead();
    int cmdFuelWrite();
    int cmdSequence();
    int cmdRecord();
    // autocal (cli_autocal.cpp).
    void defineAutocal(CLI::App& app);
    int cmdAutocal();
    std::string recordingProblem(const CRecordingWriter& recording) const;
    // Offline commands.
    int cmdInspect();
    int cmdDecodeErrors();

    // Reads and checks a command's input files and values before connecting.
    int prepareInputs(CLI::App& app);
    int prepareMap();
    int prepareTable();
    int prepareThresholds();

    nlohmann::json settingsJson(const dev_setup_t& setup) const;
    // Reads the settings back and prints them; false (with a message) when they could
    // not be read.
    // Prints what the controller holds after a write, with whether it was written and
    // filed; false when it could not be read.
    bool printReadBack(const setup_write_t& written);
    int finishWrite(const setup_write_t& written, const std::function<int()>& afterWrite = {});
    static nlohmann::json writeJson(const setup_write_t& written);
    int finishTransfer(const write_outcome_t& outcome, nlohmann::json object,
                       const std::string& text);
    // Checks and writes the settings held and prints what the controller then holds;
    // `afterWrite` runs after a confirmed write and may end the command with its code.
    int writeAndReadBack(const dev_setup_t& setup, const std::function<int()>& afterWrite = {});
    // Exit code of a settings write that did not end acknowledged and filed.
    int writeFailure(const setup_write_t& written);
    // Checks that a settings write could be made at all, before anything is sent.
    int settingsWritable(const dev_setup_t& setup);
    int applyCarOption();

    std::unique_ptr<Options> opt_;
    CCliDeviceUi ui_;
    std::unique_ptr<CLPGDevice> device_;
    // Every settings write of a command; files under the car named with --car.
    std::unique_ptr<CSettingsWrite> settingsWrite_;
    std::unique_ptr<CDataWrite> dataWrite_;
};
