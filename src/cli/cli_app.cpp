// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_app.h"

#include <cstdio>
#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/cli_export.h"
#include "cli/cli_legacy.h"
#include "cli/cli_map_build.h"
#include "cli/cli_options.h"
#include "cli/cli_ports.h"
#include "cli/cli_usage.h"
#include "link/port_names.h"
#include "link/serial_port.h"
#include "link/traced_line.h"
#include "sim/serial_line_factory.h"
#include "support/error_guard.h"
#include "support/version.h"

CCliApp::CCliApp() : opt_(std::make_unique<Options>()) {}

CCliApp::~CCliApp() = default;

namespace {

// "Opcje ogólne …: --port ŚCIEŻKA, --com N, --json, …": every option the tool itself
// declares, so that the list under each command is never short of one.
std::string globalOptionsText(const CLI::App& app) {
    std::string text = "Opcje ogólne (przed poleceniem albo po nim): ";
    bool first = true;
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_lnames().empty() || option->get_lnames().front() == "help" ||
            option->get_lnames().front() == "version") {
            continue;
        }
        text += (first ? "--" : ", --") + option->get_lnames().front();
        // The value's name without the checks CLI11 appends ("N:INT in [1 - 255]").
        const std::string type = option->get_type_name();
        if (option->get_expected_min() > 0 && !type.empty()) {
            text += " " + type.substr(0, type.find(':'));
        }
        first = false;
    }
    return text + ".";
}

// A write of the map or the table switches it on in the settings unless told not to.
void addKeepFunctions(CLI::App* write, bool& keepFunctions) {
    write->add_flag("--keep-functions", keepFunctions,
                    "Nie zmieniaj przełączników funkcji w ustawieniach");
}

}  // namespace

int CCliApp::run(int argc, char** argv) {
    CLI::App app{"Vapron: sterownik wtrysku LPG bez okna.", "vapron-cli"};
    defineCommands(app);
    CCliUsage::polish(app, globalOptionsText(app));
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "vapron-cli: %s\nPomoc: vapron-cli --help\n",
                     CCliUsage::parseError(e, app, argc, argv).c_str());
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

void CCliApp::defineGlobalOptions(CLI::App& app) {
    Options& o = *opt_;
    app.set_help_flag("-h,--help", "Pokaż tę pomoc i zakończ");
    app.set_version_flag("--version", std::string("vapron-cli ") + kVapronVersion,
                         "Pokaż wersję programu i zakończ");
    // The global options may follow the command too: an option a command does not know
    // falls through to the tool.
    app.fallthrough();
    app.require_subcommand(1);
    // A path that starts with "/" is a path on every system, not a Windows-style option.
    app.allow_windows_style_options(false);
    auto* where =
        app.add_option("--port", o.port, "Urządzenie szeregowe sterownika")->type_name("ŚCIEŻKA");
    auto* com =
        app.add_option("--com", o.com, "Numer portu COM (1 = " + CPortNames::example() + ")")
            ->type_name("N")
            ->check(CLI::Range(1, 255))
            ->excludes(where);
    app.add_flag("--json", o.json, "Jeden obiekt JSON na standardowym wyjściu");
    app.add_flag("--unlocked", o.unlocked, "Wpisuj ustawienia bez danych samochodu");
    app.add_flag("--simulate", o.simulate,
                 "Rozmawiaj z symulowanym sterownikiem w tym programie zamiast z portem")
        ->excludes(where)
        ->excludes(com);
    app.add_flag("--no-pacing", o.noPacing,
                 "Symulowany sterownik bez tempa linii 38 400 bodów (szybciej niż naprawdę)")
        ->needs("--simulate");
    app.add_option("--car", o.car,
                   "Dane samochodu: marka|model|pojemność|moc|rok|wtryskiwacze|kalibracja")
        ->type_name("TEKST");
    app.add_option("--trace", o.trace,
                   "Zapisz ślad komunikacji ze sterownikiem w PLIKU (także VAPRON_TRACE=PLIK)")
        ->type_name("PLIK");
}

void CCliApp::defineCommands(CLI::App& app) {
    Options& o = *opt_;
    defineGlobalOptions(app);

    app.add_subcommand("info", "Wersja, ID, zegar i wartości czasowe sterownika");
    auto* settings = app.add_subcommand("settings", "Odczyt albo zmiana rekordu ustawień");
    settings->require_subcommand(1);
    settings->add_subcommand("get", "Wszystkie pola w jednostkach technicznych");
    auto* set = settings->add_subcommand("set", "Zmień pola, sprawdź i wpisz rekord");
    set->add_option("POLA", o.assignments, "POLE=WARTOŚĆ …")->required();
    defineSettingsFileCommands(*settings);

    auto* errors = app.add_subcommand("errors", "Zapamiętane błędy sterownika");
    errors->add_flag("--clear", o.clear, "Skasuj zapamiętane błędy");

    auto* mode = app.add_subcommand("mode", "Przełącz tryb pracy");
    mode->add_option("TRYB", o.mode, "gasoline, lpg albo auto")
        ->required()
        ->check(CLI::IsMember({"gasoline", "lpg", "auto"}));

    auto* eeprom = app.add_subcommand("eeprom", "Kopia albo odtworzenie 512 bajtów EEPROM");
    eeprom->require_subcommand(1);
    eeprom->add_subcommand("read", "Odczytaj EEPROM do PLIKU")
        ->add_option("PLIK", o.file, "Plik obrazu")
        ->required();
    eeprom->add_subcommand("write", "Wpisz PLIK do EEPROM")
        ->add_option("PLIK", o.file,
                     "Plik obrazu (512 bajtów; dalsze są pomijane; czyta też FIFO i potok)")
        ->required();

    auto* map = app.add_subcommand("map", "Mapa wtrysków");
    map->require_subcommand(1);
    map->add_subcommand("read", "Odczytaj mapę (50 wierszy po 8 procentów)");
    auto* mapWrite = map->add_subcommand(
        "write",
        "Wpisz mapę z PLIKU: JSON z `map read --json` albo 50 wierszy po 8 liczb; mapa zostaje "
        "włączona w ustawieniach, chyba że podano --keep-functions");
    mapWrite->add_option("PLIK", o.file, "Plik mapy (czyta też FIFO i potok)")->required();
    addKeepFunctions(mapWrite, o.keepFunctions);
    auto* build = map->add_subcommand("build", "Propozycja mapy z nagrania (bez sterownika)");
    build->add_option("PLIK", o.file, "Nagranie (.lpgd)")->required();
    build
        ->add_option("--clock-hz", o.clockHz,
                     "Zegar sterownika nagrania w Hz (domyślnie z PLIKU-config)")
        ->check(CLI::Range(1000ul, 1000000ul));
    build->add_flag("--fill", o.fill,
                    "Uzupełnij puste komórki między wartościami (lista na standardowym wyjściu "
                    "błędów)");

    auto* table = app.add_subcommand("table", "Tabela korekcji czasu");
    table->require_subcommand(1);
    table->add_subcommand("read", "Odczytaj 25 korekcji w procentach");
    auto* tableWrite = table->add_subcommand(
        "write",
        "Wpisz 25 korekcji; tabela zostaje włączona w ustawieniach, chyba że podano "
        "--keep-functions");
    tableWrite->add_option("LICZBY", o.values, "W1,…,W25 w procentach (−100 do 155)")->required();
    addKeepFunctions(tableWrite, o.keepFunctions);

    auto* fuel = app.add_subcommand("fuel", "Czujnik poziomu paliwa");
    fuel->require_subcommand(1);
    fuel->add_subcommand("read", "Progi i bieżący odczyt");
    fuel->add_subcommand("write", "Wpisz progi")
        ->add_option("LICZBY", o.values, "T34,T12,T14,RES (0 do 255, rosnące albo malejące)")
        ->required();

    app.add_subcommand("sequence", "Kolejność wtrysków");

    auto* record = app.add_subcommand("record", "Nagraj diagnostykę na żywo do PLIKU");
    record->add_option("PLIK", o.file, "Nagranie (.lpgd)")->required();
    record->add_option("--injector", o.injector, "Śledzony wtryskiwacz")->check(CLI::Range(1, 8));
    auto* samples = record->add_option("--samples", o.samples, "Zakończ po N próbkach")
                        ->check(CLI::PositiveNumber);
    record->add_option("--seconds", o.seconds, "Zakończ po S sekundach")
        ->check(CLI::PositiveNumber)
        ->excludes(samples);
    record->add_flag("--coverage", o.coverage,
                     "Co sekundę pokrycie mapy wtrysków na standardowym wyjściu błędów");

    defineAutocal(app);

    app.add_subcommand("inspect", "Podsumowanie nagrania (bez sterownika)")
        ->add_option("PLIK", o.file, "Nagranie (.lpgd)")
        ->required();
    app.add_subcommand("decode-errors", "Rozkoduj 11-bajtowy raport błędów (bez sterownika)")
        ->add_option("HEX", o.hex, "22 cyfry szesnastkowe")
        ->required();
    app.add_subcommand("legacy", "Nagrania i ustawienia samochodów starego programu dla Windows")
        ->add_flag("--copy", o.copy, "Skopiuj je do folderu programu (niczego nie zastępuje)");
    app.add_subcommand("ports", "Porty szeregowe tego komputera i czy można je otworzyć");
    auto* csv = app.add_subcommand("export", "Zapisz nagranie jako CSV (bez sterownika)");
    csv->add_option("PLIK", o.file, "Nagranie (.lpgd)")->required();
    csv->add_option("-o,--output", o.output, "Plik CSV (domyślnie PLIK z .csv)");
    csv->add_option("--separator", o.separator, "Separator pól: , ; | albo tab (domyślnie ,)");
    csv->add_option("--decimal", o.decimal, "Znak dziesiętny: . albo , (domyślnie .)");
    csv->add_flag("--bom", o.bom, "Zacznij plik znacznikiem UTF-8 (BOM) dla arkuszy");
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
        return CCliLegacy::run(opt_->copy, opt_->json, std::cout, std::cerr);
    if (sub("export"))
        return CCliExport::run(opt_->file, opt_->output,
                               {opt_->separator, opt_->decimal, opt_->bom}, opt_->json, std::cout,
                               std::cerr);
    if (nested("map", "build"))
        return CCliMapBuild::run(opt_->file, {opt_->json, opt_->clockHz, opt_->fill}, std::cout,
                                 std::cerr);
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
    probe.setPortNames(
        static_cast<CSerialPort&>(CTracedLine::untraced(device_->line())).portNames());
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
    const std::string trace = opt_->trace.empty() ? CWireTrace::pathFromEnvironment() : opt_->trace;
    if (!trace.empty()) {
        std::string problem;
        choice.trace = CWireTrace::open(trace, problem);
        if (!choice.trace) {
            return fail(EXIT_IO, problem);
        }
    }
    if (opt_->simulate) {
        // At the line's pace, as the window's: a demo recording is what a real one is.
        choice.kind = line_choice_t::Kind::SimulatedInProcess;
        choice.realTime = !opt_->noPacing;
    }
    device_ = std::make_unique<CLPGDevice>(ui_, makeSerialLine(choice).line);
    settingsWrite_ = std::make_unique<CSettingsWrite>(*device_);
    dataWrite_ = std::make_unique<CDataWrite>(*device_, *settingsWrite_);
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
