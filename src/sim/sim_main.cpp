// SPDX-License-Identifier: GPL-3.0-or-later
// vapron-sim: the simulated controller on a pseudo-terminal. Prints the terminal's path
// as its first line, then serves until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/controller_sim.h"
#include "sim/pty_server.h"
#include "sim/trace_replay.h"
#include "support/i_error.h"
#include "support/version.h"

namespace {

constexpr const char* kUsage =
    "Użycie: vapron-sim [opcje]\n"
    "  --firmware-version N   wersja oprogramowania w rekordzie wersji (domyślnie 4)\n"
    "  --id TEKST             identyfikator sterownika (do 16 znaków)\n"
    "  --injectors N          liczba wtryskiwaczy (domyślnie 4)\n"
    "  --errors HEX           zapisany raport błędów, 22 cyfry szesnastkowe\n"
    "  --profile idle|drive   praca silnika: wolne obroty albo jazda (domyślnie idle)\n"
    "  --needed-correction MS czas LPG, którego brakuje wtryskiwaczom (domyślnie 1.4)\n"
    "  --drop P               prawdopodobieństwo zgubionej odpowiedzi\n"
    "  --corrupt P            prawdopodobieństwo złego słowa kontrolnego\n"
    "  --stray P              prawdopodobieństwo obcych bajtów przed odpowiedzią\n"
    "  --stale P              prawdopodobieństwo, że odpowiedź zostanie wstrzymana i wysłana\n"
    "                         przed odpowiedzią na następne zapytanie\n"
    "  --delay MS             dodatkowe opóźnienie przed każdą odpowiedzią\n"
    "  --seed N               ziarno losowania (domyślnie 1)\n"
    "  --no-pacing            wysyłaj bez tempa linii 38 400 bodów\n"
    "  --adapter-latency MS   wstrzymuj odpowiedzi jak adapter USB z zegarem opóźnienia MS\n"
    "                         (16 domyślnie w FTDI; 0, domyślnie, nie wstrzymuje)\n"
    "  --non-sequential       wszystkie wtryskiwacze otwierają się razem\n"
    "  --clock-hz N           częstotliwość zegara sterownika (domyślnie 40000)\n"
    "  --vanish-after N       zniknij po odpowiedzi na N zapytań\n"
    "  --refuse-writes TYP    odpowiadaj błędem na zapis rekordu: setup, eeprom, table\n"
    "                         albo fuel\n"
    "  --replay ŚLAD          odpowiadaj jak sterownik zapisany w śladzie komunikacji\n"
    "  --version              wersja programu\n"
    "  --help                 ten tekst\n";

struct options_t {
    std::uint32_t seed = 1;
    std::optional<unsigned long> version, injectors, clockHz, vanishAfter, delayMs;
    unsigned long adapterLatencyMs = 0;
    std::optional<std::string> id, errors, profile, refuseWrites, replay;
    std::optional<double> needed, drop, corrupt, stray, stale;
    bool pacing = true;
    bool sequential = true;
};

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "vapron-sim: " << message << "\n" << kUsage;
    std::exit(2);
}

unsigned long toUnsigned(const std::string& name, const std::string& text, unsigned long max) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value > max || text[0] == '-') {
        fail("niedozwolona wartość " + name + ": " + text);
    }
    return value;
}

double toDouble(const std::string& name, const std::string& text, double min, double max) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= min && value <= max)) {
        fail("niedozwolona wartość " + name + ": " + text);
    }
    return value;
}

CControllerSim::error_report_t toReport(const std::string& hex) {
    CControllerSim::error_report_t report{};
    if (hex.size() != 2 * report.size()) {
        fail("--errors: podaj 22 cyfry szesnastkowe");
    }
    for (std::size_t i = 0; i < report.size(); ++i) {
        const std::string pair = hex.substr(2 * i, 2);
        char* end = nullptr;
        report[i] = static_cast<std::uint8_t>(std::strtoul(pair.c_str(), &end, 16));
        if (*end != '\0' || pair.find_first_of("+- ") != std::string::npos) {
            fail("--errors: podaj 22 cyfry szesnastkowe");
        }
    }
    return report;
}

options_t parse(const std::vector<std::string>& args) {
    options_t o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                fail(arg + ": brak wartości");
            }
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (arg == "--no-pacing") {
            o.pacing = false;
        } else if (arg == "--non-sequential") {
            o.sequential = false;
        } else if (arg == "--version") {
            std::cout << "vapron-sim " << kVapronVersion << "\n";
            std::exit(0);
        } else if (arg == "--firmware-version") {
            o.version = toUnsigned(arg, value(), 65535);
        } else if (arg == "--injectors") {
            o.injectors = toUnsigned(arg, value(), 8);
        } else if (arg == "--clock-hz") {
            o.clockHz = toUnsigned(arg, value(), 0xFFFFFFFFul);
        } else if (arg == "--vanish-after") {
            o.vanishAfter = toUnsigned(arg, value(), 0xFFFFFFFFul);
        } else if (arg == "--adapter-latency") {
            o.adapterLatencyMs = toUnsigned(arg, value(), 255);
        } else if (arg == "--delay") {
            o.delayMs = toUnsigned(arg, value(), 600000);
        } else if (arg == "--seed") {
            o.seed = static_cast<std::uint32_t>(toUnsigned(arg, value(), 0xFFFFFFFFul));
        } else if (arg == "--replay") {
            o.replay = value();
        } else if (arg == "--id") {
            o.id = value();
        } else if (arg == "--errors") {
            o.errors = value();
        } else if (arg == "--profile") {
            o.profile = value();
        } else if (arg == "--needed-correction") {
            o.needed = toDouble(arg, value(), -10, 10);
        } else if (arg == "--drop") {
            o.drop = toDouble(arg, value(), 0, 1);
        } else if (arg == "--corrupt") {
            o.corrupt = toDouble(arg, value(), 0, 1);
        } else if (arg == "--stray") {
            o.stray = toDouble(arg, value(), 0, 1);
        } else if (arg == "--stale") {
            o.stale = toDouble(arg, value(), 0, 1);
        } else if (arg == "--refuse-writes") {
            o.refuseWrites = value();
        } else {
            fail("nieznana opcja " + arg);
        }
    }
    return o;
}

void configure(CControllerSim& sim, const options_t& o) {
    if (o.version)
        sim.setVersion(static_cast<std::uint16_t>(*o.version));
    if (o.injectors)
        sim.setInjectors(static_cast<std::uint8_t>(*o.injectors));
    if (o.clockHz)
        sim.setClockHz(static_cast<std::uint32_t>(*o.clockHz));
    if (o.id)
        sim.setId(*o.id);
    if (o.errors)
        sim.setErrorReport(toReport(*o.errors));
    if (o.profile) {
        if (*o.profile != "idle" && *o.profile != "drive") {
            fail("--profile: podaj idle albo drive");
        }
        sim.setProfile(*o.profile == "drive" ? EngineProfile::Drive : EngineProfile::Idle);
    }
    if (o.needed)
        sim.setNeededCorrection(*o.needed);
    if (o.drop)
        sim.faults().setDropProbability(*o.drop);
    if (o.corrupt)
        sim.faults().setCorruptProbability(*o.corrupt);
    if (o.stray)
        sim.faults().setStrayProbability(*o.stray);
    if (o.stale)
        sim.faults().setStaleProbability(*o.stale);
    if (o.delayMs)
        sim.faults().setReplyDelay(std::chrono::milliseconds(*o.delayMs));
    if (o.vanishAfter)
        sim.faults().setVanishAfter(static_cast<unsigned>(*o.vanishAfter));
    sim.setSequential(o.sequential);
    if (o.refuseWrites) {
        const std::map<std::string, std::uint8_t> types = {{"setup", proto::MSG_TYPE_SETUP},
                                                           {"eeprom", proto::MSG_TYPE_EEPROM},
                                                           {"table", proto::MSG_TYPE_TABLE},
                                                           {"fuel", proto::MSG_TYPE_FUEL_SENSOR}};
        const auto type = types.find(*o.refuseWrites);
        if (type == types.end()) {
            fail("--refuse-writes: podaj setup, eeprom, table albo fuel");
        }
        sim.refuseWrites(type->second);
    }
    if (o.replay) {
        auto replay = std::make_shared<CTraceReplay>();
        std::string problem;
        if (!replay->load(*o.replay, problem)) {
            std::cerr << "vapron-sim: " << problem << "\n";
            std::exit(3);
        }
        sim.setResponder([replay](const std::uint8_t* frame, std::size_t size) {
            return replay->answer(frame, size);
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    const options_t options = parse(std::vector<std::string>(argv + 1, argv + argc));

    // Block the stop signals before the server thread exists, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto sim = std::make_shared<CControllerSim>(options.seed);
    configure(*sim, options);
    CPtyServer server(sim);
    server.setPacing(options.pacing);
    server.setAdapterLatency(std::chrono::milliseconds(options.adapterLatencyMs));
    try {
        server.start();
    } catch (IError* e) {
        std::cerr << "vapron-sim: " << e->format() << "\n";
        delete e;
        return 1;
    }
    std::printf("%s\n", server.slavePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return 0;
}
