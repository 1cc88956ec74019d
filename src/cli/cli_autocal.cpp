// SPDX-License-Identifier: GPL-3.0-or-later
// vapron-cli autocal: live diagnostics into the program's default recording and the
// auto-calibration on them, in one process.
#include "cli/cli_autocal.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <sstream>
#include <thread>

#include <CLI/CLI.hpp>

#include "autosetup/auto_setup.h"
#include "autosetup/auto_setup_text.h"
#include "cli/cli_app.h"
#include "cli/cli_options.h"
#include "diag/diag_data.h"
#include "diag/diag_rs_thread.h"
#include "diag/recording_archive.h"
#include "diag/settings_history.h"
#include "settings/program_folders.h"
#include "support/console_input.h"
#include "support/interrupt.h"
#include "support/local_time.h"
#include "support/thread_manager.h"

using nlohmann::json;

CCliAutocal::CCliAutocal(bool yes, const std::atomic<bool>& cancel, int inputFd)
    : yes_(yes), cancel_(cancel), inputFd_(inputFd) {}

void CCliAutocal::appendLog(const std::string& line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void CCliAutocal::showMessage(const std::string& text, IDeviceUi::Icon) {
    std::lock_guard lock(mutex_);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

std::vector<std::string> CCliAutocal::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool CCliAutocal::askOkCancel(const std::string& text) {
    if (yes_) {
        std::fprintf(stderr, "%s: OK (--yes)\n", text.c_str());
        return true;
    }
    std::fprintf(stderr, "%s\nEnter = OK, n = Anuluj: ", text.c_str());
    std::fflush(stderr);
    std::string answer;
    if (!readAnswer(answer)) {
        std::fprintf(stderr, "\n");
        return false;
    }
    return answer.empty() || answer == "ok" || answer == "t" || answer == "tak" || answer == "y";
}

bool CCliAutocal::readAnswer(std::string& answer) {
    while (!cancel_) {
        const int ready = CConsoleInput::waitReadable(inputFd_, 100);
        if (ready < 0) {
            return false;
        }
        if (ready <= 0) {
            continue;
        }
        char c = 0;
        if (!CConsoleInput::readChar(inputFd_, c)) {
            return false;
        }
        if (c == '\n') {
            return true;
        }
        if (!std::isspace(static_cast<unsigned char>(c))) {
            answer += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return false;
}

// --- the command ----------------------------------------------------------------------

namespace {

constexpr const char* kRecordingName = "Diagnostyka.lpgd";
constexpr const char* kKeepFailed =
    "Nie można przenieść poprzedniego zapisu diagnostycznego, więc autoustawianie nie "
    "zostało rozpoczęte. Sprawdź uprawnienia do folderu z zapisami.";
constexpr const char* kNoCarHint =
    "podaj --car \"marka|model|pojemność|moc|rok|wtryskiwacze|kalibracja\" albo --unlocked";
constexpr const char* kAcquisitionLost =
    "Diagnostyka przerwana: sprawdź połączenie ze sterownikiem i powtórz autoustawianie.";

std::atomic<bool> g_cancel{false};

std::tm localNow() {
    return localTime(std::time(nullptr));
}

json orNull(const std::optional<double>& value) {
    return value ? json(*value) : json(nullptr);
}

}  // namespace

void CCliApp::defineAutocal(CLI::App& app) {
    Options& o = *opt_;
    auto* autocal = app.add_subcommand(
        "autocal",
        "Automatyczne ustawienie korekcji głównej na wolnych obrotach (diagnostyka do "
        "domyślnego nagrania); wymaga --car albo --unlocked. Kod 1 także wtedy, gdy "
        "ustawianie odmówiono albo odrzucono każdą korekcję");
    autocal->add_option("--tolerance", o.tolerance, "Tolerancja uśredniania w procentach")
        ->check(CLI::Range(0.0, 1000.0));
    autocal->add_flag("--yes", o.yes, "Odpowiedz OK na \"Ustal wolne obroty\"");
}

int CCliApp::cmdAutocal() {
    if (!device_->carInfoGiven() && !device_->unlocked()) {
        return fail(EXIT_USAGE, std::string(autosetup_text::kNoCarInfo) + "\n" + kNoCarHint);
    }
    const std::string recording = CProgramFolders::dataFolder() + kRecordingName;
    opt_->file = recording;
    const CRecordingArchive::result_t kept =
        CRecordingArchive::setAside(recording, std::time(nullptr));
    if (!kept.ok()) {
        return fail(EXIT_IO, std::string(kKeepFailed) + "\n" + kept.error);
    }

    CDiagData store;
    std::atomic<bool> diagOn{true};
    std::atomic<int> injector{1};
    std::atomic<bool> acquisitionEnded{false};
    diag_end_t end;
    CThreadManager workers;
    auto* acquisition = new CDiagRSThread(*device_, store, recording, diagOn, injector);
    acquisition->setEndHandler([&](const diag_end_t& how) {
        end = how;
        acquisitionEnded = true;
    });
    // Every settings write is kept beside the recording, as the window does.
    settingsWrite_->setSnapshot([&](const device_info_t& written) {
        device_info_t snapshot = written;
        CSettingsHistory::appendSnapshot(recording, snapshot, store);
    });

    g_cancel = false;
    CCliAutocal ui(opt_->yes, g_cancel);
    CAutoSetup procedure(*device_, store, ui, *settingsWrite_);
    procedure.setTolerancePercent(opt_->tolerance);
    std::optional<CInterrupt> ctrlC(std::in_place, g_cancel, true);
    workers.insert(acquisition);
    ui.appendLog(autosetup_text::separator());
    ui.appendLog(autosetup_text::startTime(localNow()));
    ui.appendLog(autosetup_text::kStart);
    procedure.start(workers);
    bool acquisitionLost = false;
    while (procedure.active()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // Without samples a waiting run could never end by itself.
        if (g_cancel || (acquisitionEnded && !acquisitionLost)) {
            acquisitionLost = acquisitionLost || acquisitionEnded.load();
            procedure.stop();
        }
    }
    diagOn = false;
    while (!acquisitionEnded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::string problem = recordingProblem(acquisition->recording());
    workers.joinAll();
    settingsWrite_->setSnapshot({});
    ctrlC.reset();

    // Values the run never learnt from the controller are not reported.
    // The main correction is what the controller holds after an acknowledged write, as
    // read back; a run that wrote nothing reports none.
    std::optional<double> main, pressure;
    if (dev_setup_t held; procedure.writtenCorrection() && device_->readSetup(held)) {
        main = held.mainCorrection;
    }
    if (!procedure.steps().empty()) {
        pressure = device_->info().reducerPressure;
    }
    json object = {{"succeeded", procedure.succeeded()},
                   {"stepCorrections", procedure.stepCorrections()},
                   {"acceptedCorrections", procedure.acceptedCorrections()},
                   {"constantCorrection", orNull(procedure.constantCorrection())},
                   {"mainCorrection", orNull(main)},
                   {"reducerPressure", orNull(pressure)},
                   {"log", ui.lines()}};
    std::ostringstream text;
    text << "udana: " << (procedure.succeeded() ? "tak" : "nie") << '\n';
    if (main) {
        text << "główna poprawka: " << autosetup_text::number(*main) << " ms\n";
    }
    if (pressure) {
        text << "ciśnienie reduktora: " << autosetup_text::number(*pressure) << " kPa\n";
    }
    print(object, text.str());

    if (!problem.empty()) {
        return fail(EXIT_IO, problem);
    }
    if (acquisitionLost && end.byError) {
        return fail(EXIT_IO, std::string(kAcquisitionLost) + "\n" + end.message);
    }
    switch (procedure.outcome()) {
        case CAutoSetup::Outcome::Succeeded:
            return EXIT_OK;
        case CAutoSetup::Outcome::Error:
            return EXIT_IO;
        default:
            return EXIT_NO_ANSWER;
    }
}
