#include "cli/cli_app.h"

#include <cstdio>
#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/cli_export.h"
#include "cli/cli_legacy.h"
#include "cli/cli_map_build.h"
#include "cli/cli_options.h"
#include "cli/cli_ports.h"
#include "link/serial_port.h"
#include "sim/serial_line_factory.h"
#include "support/error_guard.h"

CCliApp::CCliApp() : opt_(std::make_unique<Options>()) {}

CCliApp::~CCliApp() = default;

int CCliApp::run(int argc, char** argv) {
    CLI::App app{"Vapron: the LPG injection controller without a window.", "vapron-cli"};
    defineCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return EXIT_USAGE;
    }
    int code = EXIT_OK;
    auto shown = guarded("vapron-cli", [&] { code = dispatch(app); });
    if (shown) {
        std::fprintf(stderr, "%s\n", shown->c_str());
        return EXIT_IO;
    }
    return code;
}

void CCliApp::defineCommands(CLI::App& app) {
    Options& o = *opt_;
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("vapron-cli ") + VAPRON_VERSION);
    app.footer(
        "Exit codes: 0 done; 1 the controller did not answer or did not confirm; 2 bad "
        "command line or values; 3 a port or file that cannot be used or holds wrong data.");
    auto* where = app.add_option("--port", o.port, "Serial device of the controller");
    app.add_option("--com", o.com, "COM port number (1 = " + CPortNames().pathOf(1) + ")")
        ->check(CLI::Range(1, 255))
        ->excludes(where);
    app.add_flag("--json", o.json, "Print one JSON object on standard output");
    app.add_flag("--unlocked", o.unlocked, "Write settings without car information");
    app.add_flag("--simulate", o.simulate,
                 "Talk to a simulated controller inside this program instead of a port")
        ->excludes(where);
    app.add_option("--car", o.car,
                   "Car information: make|model|capacity|power|year|injectors|calibrated");

    app.add_subcommand("info", "Controller version, ID, clock and timing values");
    auto* settings = app.add_subcommand("settings", "Read or change the settings record");
    settings->require_subcommand(1);
    settings->add_subcommand("get", "Every field in engineering units");
    auto* set = settings->add_subcommand("set", "Change fields, check and write the record");
    set->add_option("assignments", o.assignments, "FIELD=VALUE …")->required();
    defineSettingsFileCommands(*settings);

    auto* errors = app.add_subcommand("errors", "The controller's stored error report");
    errors->add_flag("--clear", o.clear, "Clear the stored errors");

    auto* mode = app.add_subcommand("mode", "Switch the work mode");
    mode->add_option("mode", o.mode, "gasoline, lpg or auto")
        ->required()
        ->check(CLI::IsMember({"gasoline", "lpg", "auto"}));

    auto* eeprom = app.add_subcommand("eeprom", "Back up or restore the 512-byte EEPROM");
    eeprom->require_subcommand(1);
    eeprom->add_subcommand("read", "Read the EEPROM into FILE")
        ->add_option("file", o.file, "Image file")
        ->required();
    eeprom->add_subcommand("write", "Write FILE into the EEPROM")
        ->add_option("file", o.file,
                     "Image file (512 bytes; more are ignored; a FIFO or pipe is read too)")
        ->required();

    auto* map = app.add_subcommand("map", "The injection map");
    map->require_subcommand(1);
    map->add_subcommand("read", "Read the map (50 rows of 8 percentages)");
    map->add_subcommand("write",
                        "Write the map from FILE: the JSON of `map read --json`, or 50 lines "
                        "of 8 numbers")
        ->add_option("file", o.file, "Map file (a FIFO or pipe is read too)")
        ->required();
    map->add_subcommand("build", "Build a map proposal from a recording (offline)")
        ->add_option("file", o.file, "Recording (.lpgd)")
        ->required();

    auto* table = app.add_subcommand("table", "The time-correction table");
    table->require_subcommand(1);
    table->add_subcommand("read", "Read the 25 corrections in percent");
    table->add_subcommand("write", "Write 25 corrections")
        ->add_option("values", o.values, "V1,…,V25 in percent (−100 to 155)")
        ->required();

    auto* fuel = app.add_subcommand("fuel", "The fuel-level sensor");
    fuel->require_subcommand(1);
    fuel->add_subcommand("read", "Thresholds and the present reading");
    fuel->add_subcommand("write", "Write the thresholds")
        ->add_option("values", o.values, "T34,T12,T14,RES (0 to 255, rising or falling)")
        ->required();

    app.add_subcommand("sequence", "The injector firing sequence");

    auto* record = app.add_subcommand("record", "Record live diagnostics into FILE");
    record->add_option("file", o.file, "Recording (.lpgd)")->required();
    record->add_option("--injector", o.injector, "Injector to follow")->check(CLI::Range(1, 8));
    auto* samples = record->add_option("--samples", o.samples, "Stop after N samples")
                        ->check(CLI::PositiveNumber);
    record->add_option("--seconds", o.seconds, "Stop after S seconds")
        ->check(CLI::PositiveNumber)
        ->excludes(samples);
    record->add_flag("--coverage", o.coverage,
                     "Print the injection map coverage on standard error once a second");

    defineAutocal(app);

    app.add_subcommand("inspect", "Summarise a recording (offline)")
        ->add_option("file", o.file, "Recording (.lpgd)")
        ->required();
    app.add_subcommand("decode-errors", "Decode an 11-byte error report (offline)")
        ->add_option("hex", o.hex, "22 hex digits")
        ->required();
    app.add_subcommand("legacy", "Recordings and car settings of the old Windows program")
        ->add_flag("--copy", o.copy, "Copy them into the program folder (nothing is replaced)");
    // These two also take --json after their name.
    app.add_subcommand("ports", "Serial ports of this machine and whether they can be opened")
        ->add_flag("--json", o.json, "Print one JSON object on standard output");
    auto* csv = app.add_subcommand("export", "Write a recording as CSV (offline)");
    csv->add_flag("--json", o.json, "Print one JSON object on standard output");
    csv->add_option("file", o.file, "Recording (.lpgd)")->required();
    csv->add_option("-o,--output", o.output, "CSV file (default: FILE with .csv)");
}

int CCliApp::dispatch(CLI::App& app) {
    auto sub = [&](const char* name) { return app.got_subcommand(name); };
    auto nested = [&](const char* name, const char* inner) {
        return app.got_subcommand(name) && app.get_subcommand(name)->got_subcommand(inner);
    };
    if (sub("inspect"))
        return cmdInspect();
    if (sub("decode-errors"))
        return cmdDecodeErrors();
    if (sub("ports"))
        return CCliPorts::run(opt_->port, opt_->json, std::cout);
    if (sub("legacy"))
        return CCliLegacy::run(opt_->copy, std::cout, std::cerr);
    if (sub("export"))
        return CCliExport::run(opt_->file, opt_->output, opt_->json, std::cout, std::cerr);
    if (nested("map", "build"))
        return CCliMapBuild::run(opt_->file, opt_->json, std::cout, std::cerr);
    if (nested("settings", "diff"))
        return cmdSettingsDiff();  // connects only when a source is the controller
    if (nested("settings", "load"))
        return cmdSettingsLoad();  // reads its file before connecting

    if (int code = prepareInputs(app); code != EXIT_OK) {
        return code;
    }
    if (int code = connectDevice(); code != EXIT_OK) {
        return code;
    }
    if (sub("info"))
        return cmdInfo();
    if (nested("settings", "get"))
        return cmdSettingsGet();
    if (nested("settings", "set"))
        return cmdSettingsSet();
    if (sub("errors"))
        return cmdErrors();
    if (sub("mode"))
        return cmdMode();
    if (nested("eeprom", "read"))
        return cmdEepromRead();
    if (nested("eeprom", "write"))
        return cmdEepromWrite();
    if (nested("map", "read"))
        return cmdMapRead();
    if (nested("map", "write"))
        return cmdMapWrite();
    if (nested("table", "read"))
        return cmdTableRead();
    if (nested("table", "write"))
        return cmdTableWrite();
    if (nested("fuel", "read"))
        return cmdFuelRead();
    if (nested("fuel", "write"))
        return cmdFuelWrite();
    if (sub("sequence"))
        return cmdSequence();
    if (sub("record"))
        return cmdRecord();
    if (sub("autocal"))
        return cmdAutocal();
    return EXIT_USAGE;
}

int CCliApp::fail(int code, const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return code;
}

int CCliApp::print(const nlohmann::json& object, const std::string& text) {
    if (opt_->json) {
        // A file name need not be UTF-8; its odd bytes are replaced, not a reason to fail.
        std::cout << object.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                  << std::endl;
    } else {
        std::cout << text << std::flush;
    }
    return EXIT_OK;
}

// Ports that cannot even be opened are a port error (exit 3), not a silent controller.
int CCliApp::probePorts(std::vector<int>& openable) {
    std::vector<int> candidates;
    if (!opt_->port.empty()) {
        candidates = {1};
    } else if (opt_->com > 0) {
        candidates = {opt_->com};
    } else {
        // Ports 1 to 4, then any other USB adapter plugged in.
        const int last = device_->line().searchPorts();
        for (int port = 1; port <= last; ++port) {
            candidates.push_back(port);
        }
    }
    CSerialPort probe;
    probe.setPortNames(static_cast<CSerialPort&>(device_->line()).portNames());
    ErrorPtr last;
    for (int port : candidates) {
        ErrorPtr error = catchError([&] { probe.open(port); });
        probe.close();
        if (error) {
            last = std::move(error);
        } else {
            openable.push_back(port);
        }
    }
    if (openable.empty()) {
        std::string where =
            !opt_->port.empty() ? opt_->port : probe.portNames().pathOf(candidates[0]);
        return fail(EXIT_IO, where + ": " + last->format());
    }
    return EXIT_OK;
}

int CCliApp::connectDevice() {
    line_choice_t choice;
    choice.firstPath = opt_->port;
    if (opt_->simulate) {
        choice.kind = line_choice_t::Kind::SimulatedInProcess;
    }
    device_ = std::make_unique<CLPGDevice>(ui_, makeSerialLine(choice).line);
    device_->setUnlocked(opt_->unlocked);
    if (int code = applyCarOption(); code != EXIT_OK) {
        return code;
    }
    std::vector<int> openable;
    if (opt_->simulate) {
        openable = {1};  // the simulated line has no ports to look for
    } else if (int code = probePorts(openable); code != EXIT_OK) {
        return code;
    }
    for (int port : openable) {
        if (device_->connect(port)) {
            return EXIT_OK;
        }
    }
    return fail(EXIT_NO_ANSWER, "Nie można nawiązać komunikacji z urządzeniem LPG");
}
