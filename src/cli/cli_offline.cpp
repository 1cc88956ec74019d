// SPDX-License-Identifier: GPL-3.0-or-later
// Commands that need no controller, and live recording.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include "cli/cli_app.h"

#include "cli/cli_coverage.h"
#include "cli/cli_options.h"
#include "diag/diag_data.h"
#include "diag/diag_rs_thread.h"
#include "diag/recording_reader.h"
#include "diag/recording_writer.h"
#include "diag/settings_history.h"
#include "link/conversions.h"
#include "support/interrupt.h"
#include "support/thread_manager.h"

using nlohmann::json;

int CCliApp::cmdDecodeErrors() {
    const std::string& hex = opt_->hex;
    CLPGDevice::report_t report{};
    if (hex.size() != 2 * report.size()) {
        return fail(EXIT_USAGE, "Podaj raport błędów jako 22 cyfry szesnastkowe (11 bajtów).");
    }
    for (std::size_t i = 0; i < report.size(); ++i) {
        unsigned value = 0;
        const std::string digits = hex.substr(2 * i, 2);
        if (!std::isxdigit(static_cast<unsigned char>(digits[0])) ||
            !std::isxdigit(static_cast<unsigned char>(digits[1])) ||
            std::sscanf(digits.c_str(), "%2x", &value) != 1) {
            return fail(
                EXIT_USAGE,
                "To nie jest cyfra szesnastkowa: popraw raport i podaj go ponownie.\n" + digits);
        }
        report[i] = static_cast<std::uint8_t>(value);
    }
    CLPGDeviceErr decoders;
    std::string text = decoders.decodeReport(report);
    if (text.empty()) {
        text = "Brak błędów.";
    }
    std::string upper = hex;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return print(json{{"report", upper}, {"text", text}}, text + "\n");
}

namespace {

// The lowest and highest value seen.
template <class T>
struct range_t {
    T low{}, high{};
    bool seen = false;
    void add(T v) {
        low = seen ? std::min(low, v) : v;
        high = seen ? std::max(high, v) : v;
        seen = true;
    }
    json toJson() const { return seen ? json{low, high} : json(nullptr); }
    // Raw values to engineering units: each conversion used here is monotonic in its raw
    // value (a period of 0, no engine signal, aside), so the ends give the range without
    // converting every sample.
    template <typename Convert>
    void into(range_t<double>& range, Convert convert) const {
        if (seen) {
            range.add(convert(low));
            range.add(convert(high));
        }
    }
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int CCliApp::cmdInspect() {
    CRecordingReader reader(opt_->file);
    if (!reader.isOpen()) {
        return fail(EXIT_IO, "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" +
                                 opt_->file + ": " + CFileIo::describe(reader.openFailure()));
    }
    std::size_t samples = 0, onLpg = 0;
    std::uint32_t first = 0, last = 0;
    range_t<int> periods, gasTicks, lpgTicks;
    bool stopped = false;  // a period of 0 reads as 0 rev/min
    app_msg_t sample;
    while (reader.readSample(sample)) {
        if (samples++ == 0)
            first = sample.index;
        last = sample.index;
        if (sample.onLpg()) {
            ++onLpg;
            lpgTicks.add(static_cast<int>(sample.gas_time) + sample.time_add - sample.time_sub);
        }
        if (sample.rpm_period == 0) {
            stopped = true;
        } else {
            periods.add(sample.rpm_period);
        }
        gasTicks.add(sample.gas_time);
    }
    range_t<double> rpm, gasTime, lpgTime;
    if (stopped) {
        rpm.add(0.0);
    }
    // The recording's own clock; without one the usual, and the output says so.
    const std::optional<CControllerClock> known = CSettingsHistory::clockOf(opt_->file);
    const CControllerClock clock = known.value_or(CControllerClock{});
    periods.into(rpm, [&](int period) { return clock.periodToRpm(period); });
    gasTicks.into(gasTime, [&](int ticks) { return clock.ticksToMs(ticks); });
    lpgTicks.into(lpgTime, [&](int ticks) { return clock.ticksToMs(ticks); });
    if (reader.end() == CRecordingReader::End::ReadError) {
        const auto failure = CFileIo::failed(CFileIo::Failure::Failed, reader.readErrno());
        return fail(EXIT_IO, "Nie można odczytać pliku z danymi diagnostycznymi\n" + opt_->file +
                                 ": " + CFileIo::describe(failure));
    }
    const std::size_t stopLine = reader.stopLine();
    const std::size_t unread = reader.countUnreadLines();
    if (samples == 0) {  // an empty file is no recording either
        return fail(
            EXIT_IO,
            "Wskaż nagranie diagnostyczne (.lpgd): w tym pliku nie ma ani "
            "jednej próbki.\n" +
                opt_->file + ": " +
                (unread > 0 ? std::to_string(unread) + " nieodczytanych wierszy od wiersza " +
                                  std::to_string(stopLine)
                            : std::string("plik jest pusty")));
    }
    json object = {{"samples", samples},
                   {"firstIndex", first},
                   {"lastIndex", last},
                   {"unreadLines", unread},
                   {"gasolineSamples", samples - onLpg},
                   {"lpgSamples", onLpg},
                   {"rpm", rpm.toJson()},
                   {"gasTimeMs", gasTime.toJson()},
                   {"lpgTimeMs", lpgTime.toJson()},
                   {"clockHz", clock.hz()},
                   {"clockKnown", known.has_value()}};
    std::ostringstream text;
    text << "próbki: " << samples << "\nnumery próbek: " << first << " - " << last
         << "\nna benzynie: " << samples - onLpg << "\nna LPG: " << onLpg;
    if (rpm.seen)
        text << "\nobroty: " << rpm.low << " - " << rpm.high << " obr/min";
    if (gasTime.seen)
        text << "\nczas benzyny: " << gasTime.low << " - " << gasTime.high << " ms";
    if (lpgTime.seen)
        text << "\nczas LPG: " << lpgTime.low << " - " << lpgTime.high << " ms";
    text << "\nnieodczytane wiersze: " << unread << "\nzegar: " << clock.hz() << " Hz"
         << (known ? "" : " (nieznany zegar nagrania: przyjęto zwykły)") << '\n';
    return print(object, text.str());
}

int CCliApp::cmdRecord() {
    std::atomic<bool> running{true};
    std::atomic<bool> stopped{false};
    std::atomic<int> injector{opt_->injector};
    CDiagData store;
    CThreadManager workers;
    auto* worker =
        new CDiagRSThread(*device_, store, opt_->file, running, injector, [&] { stopped = true; });
    diag_end_t end;  // read once the worker has been joined
    worker->setEndHandler([&end](const diag_end_t& how) { end = how; });
    std::optional<CInterrupt> ctrlC(std::in_place, running, false);
    const auto start = std::chrono::steady_clock::now();
    CCliCoverage coverage(std::cerr);
    workers.insert(worker);
    while (!stopped) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (opt_->coverage) {
            coverage.poll(store, std::chrono::steady_clock::now());
        }
        const bool enoughSamples =
            opt_->samples > 0 && store.getSize() >= static_cast<std::size_t>(opt_->samples);
        const bool enoughTime = opt_->seconds > 0 && secondsSince(start) >= opt_->seconds;
        if (enoughSamples || enoughTime) {
            running = false;
        }
    }
    // A worker that closes while its flag is still set ended on a port or file error.
    const bool endedByError = running;
    running = false;
    const double seconds = secondsSince(start);
    const std::uint64_t exchanges = worker->exchanges();
    const std::uint64_t failed = worker->failedExchanges();
    // The worker has closed the recording: only lines that reached the file count.
    const std::size_t lines = worker->recording().linesWritten();
    const std::string problem = recordingProblem(worker->recording());
    workers.joinAll();
    ctrlC.reset();
    if (opt_->coverage) {
        coverage.finish(store);
    }
    json object = {{"samples", lines},
                   {"exchanges", exchanges},
                   {"failedExchanges", failed},
                   {"seconds", seconds}};
    std::ostringstream text;
    text << "próbki: " << lines << "\nwymiany: " << exchanges << "\nnieudane wymiany: " << failed
         << "\nsekundy: " << seconds << '\n';
    print(object, text.str());
    if (!problem.empty()) {
        return fail(EXIT_IO, problem);
    }
    if (endedByError) {
        // The worker's own reason: how long the controller stayed silent, or the port's.
        const std::string why = !end.reason.empty() ? end.reason : end.message;
        return fail(EXIT_IO,
                    "Nagrywanie przerwane błędem portu: sprawdź połączenie ze "
                    "sterownikiem.\n" +
                        (why.empty() ? std::string() : why + "\n") + opt_->file);
    }
    return EXIT_OK;
}

// The message for a recording that could not be opened or written; empty when the file
// took every line.
std::string CCliApp::recordingProblem(const CRecordingWriter& recording) const {
    if (!recording.openFailure().ok()) {
        return "Nie można otworzyć pliku do zapisu danych diagnostycznych\n" + opt_->file + ": " +
               CFileIo::describe(recording.openFailure());
    }
    if (recording.lastErrno() != 0) {
        const auto failure = CFileIo::failed(CFileIo::Failure::Failed, recording.lastErrno());
        return "Nie można zapisać danych diagnostycznych do pliku\n" + opt_->file + ": " +
               CFileIo::describe(failure);
    }
    return {};
}
