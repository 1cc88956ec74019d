// SPDX-License-Identifier: GPL-3.0-or-later
// Commands that talk to the controller.
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/cli_options.h"
#include "link/setup_fields.h"
#include "settings/car_settings_store.h"
#include "settings/car_texts.h"
#include "settings/cp1250.h"
#include "settings/eeprom_image.h"
#include "settings/file_preferences.h"
#include "support/split_text.h"

using nlohmann::json;

namespace {

constexpr const char* kNoAnswer = "Sterownik nie odpowiada.";

// Whole text as a number; false for anything else.
bool parseNumber(const std::string& text, double& value) {
    std::size_t used = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {  // not a number, or out of range
        return false;
    }
    return used == text.size() && std::isfinite(value);
}

std::string hexOf(const std::uint8_t* bytes, std::size_t size) {
    std::string text;
    char digits[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

}  // namespace

int CCliApp::applyCarOption() {
    if (opt_->car.empty()) {
        return EXIT_OK;
    }
    const auto parts = splitText(opt_->car, '|');
    if (parts.size() != 7) {
        return fail(
            EXIT_USAGE,
            "--car: podaj siedem tekstów: marka|model|pojemność|moc|rok|wtryskiwacze|kalibracja");
    }
    car_texts_t car{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]};
    if (car.make.empty() || car.model.empty() || car.capacity.empty() || car.power.empty() ||
        car.injectorsFitted.empty()) {
        return fail(EXIT_USAGE, "Musisz podać dane dotyczące samochodu i zamontowanej instalacji");
    }
    if (const std::string field = car.tooLong(); !field.empty()) {
        return fail(EXIT_USAGE, "Za długi tekst w --car: " + field);
    }
    car.toRecord(device_->info());
    device_->setCarInfoGiven(true);
    static CFilePreferences preferences;
    static CCarSettingsStore store(&preferences);
    settingsWrite_->setStore(&store);
    return EXIT_OK;
}

int CCliApp::cmdInfo() {
    version_record_t version;
    if (!device_->readVersionRecord(version)) {
        return fail(EXIT_NO_ANSWER, "Nie powiodło się odczytanie wersji urządzenia!");
    }
    const device_info_t& info = device_->info();
    // The controller sends its texts in Windows-1250.
    const std::string id = cp1250ToUtf8(info.id);
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", version.year, version.month, version.day);
    json object = {{"version", info.version},
                   {"injectors", info.injectors},
                   {"id", id},
                   {"programmed", date},
                   {"clock", info.clock},
                   {"timeUnitMs", device_->clock().timeUnit()},
                   {"speedConstant", device_->clock().speedConstant()}};
    std::ostringstream text;
    text << "wersja: " << info.version << "\nwtryskiwacze: " << int{info.injectors}
         << "\nidentyfikator: " << id << "\ndata zaprogramowania: " << date << "\nzegar:";
    for (auto word : info.clock)
        text << ' ' << word;
    text << "\njednostka czasu: " << device_->clock().timeUnit()
         << " ms\nstała obrotów: " << std::setprecision(10) << device_->clock().speedConstant()
         << '\n';
    return print(object, text.str());
}

json CCliApp::settingsJson(const dev_setup_t& setup) const {
    json object;
    for (const auto& field : setupFields()) {
        if (field.integral()) {
            object[field.name] = static_cast<long>(field.get(setup));
        } else {
            object[field.name] = field.get(setup);
        }
    }
    object["injectorMasks"] = setup.lpgMasks;
    return object;
}

namespace {

std::string settingsText(const dev_setup_t& setup) {
    std::ostringstream text;
    for (const auto& field : setupFields()) {
        text << field.name << ": " << field.get(setup);
        if (*field.unit)
            text << ' ' << field.unit;
        text << '\n';
    }
    text << "injectorMasks:";
    for (auto mask : setup.lpgMasks)
        text << ' ' << int{mask};
    text << '\n';
    return text.str();
}

// Applies FIELD=VALUE; an empty result means it was taken.
std::string applyAssignment(dev_setup_t& setup, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos) {
        return "podaj POLE=WARTOŚĆ: " + assignment;
    }
    const std::string name = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    if (name == "injectorMasks") {
        const auto parts = splitText(value, ',');
        double mask = 0;
        if (parts.size() != 8)
            return "injectorMasks: podaj 8 wartości oddzielonych przecinkami";
        for (std::size_t i = 0; i < 8; ++i) {
            if (!parseNumber(parts[i], mask) || mask < 0 || mask > 255 ||
                mask != std::floor(mask)) {
                return "niedozwolona maska (liczba całkowita od 0 do 255): " + parts[i];
            }
            setup.lpgMasks[i] = static_cast<std::uint8_t>(mask);
        }
        return {};
    }
    const setup_field_t* field = findSetupField(name);
    double number = 0;
    if (!field)
        return "nieznane pole: " + name + " (lista pól: vapron-cli settings get)";
    if (!parseNumber(value, number))
        return "to nie jest liczba: " + assignment;
    // A byte field cannot hold 300; refuse instead of wrapping around.
    if (!field->fits(number))
        return std::string("wartość poza zakresem pola ") + field->name;
    field->set(setup, number);
    return {};
}

}  // namespace

int CCliApp::cmdSettingsGet() {
    dev_setup_t setup;
    if (!device_->readSetup(setup)) {
        return fail(EXIT_NO_ANSWER, "Nie powiodło się odczytanie ustawień urządzenia!");
    }
    return print(settingsJson(setup), settingsText(setup));
}

int CCliApp::cmdSettingsSet() {
    dev_setup_t setup;
    if (!device_->readSetup(setup)) {
        return fail(EXIT_NO_ANSWER, "Nie powiodło się odczytanie ustawień urządzenia!");
    }
    for (const auto& assignment : opt_->assignments) {
        if (const std::string problem = applyAssignment(setup, assignment); !problem.empty()) {
            return fail(EXIT_USAGE, problem);
        }
    }
    return writeAndReadBack(setup);
}

int CCliApp::settingsWritable(const dev_setup_t& setup) {
    if (const std::string messages = device_->checkSetup(setup); !messages.empty()) {
        return fail(EXIT_USAGE, "Nie wpisano ustawień do sterownika:\n" + messages);
    }
    if (!device_->unlocked() && !device_->carInfoGiven()) {
        return fail(EXIT_USAGE,
                    "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i "
                    "zamontowanej instalacji: --car \"MARKA|MODEL|POJEMNOŚĆ\" albo --unlocked");
    }
    return EXIT_OK;
}

int CCliApp::writeFailure(const setup_write_t& written) {
    using Refusal = setup_write_t::Refusal;
    if (written.refusal == Refusal::CarInfo) {
        return fail(EXIT_USAGE,
                    "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i "
                    "zamontowanej instalacji: --car \"MARKA|MODEL|POJEMNOŚĆ\" albo --unlocked");
    }
    if (written.tells()) {
        fail(EXIT_OK, written.problem);
    }
    switch (written.refusal) {
        case Refusal::Check:
        case Refusal::CarInfo:
            return EXIT_USAGE;
        case Refusal::File:
            return EXIT_IO;
        case Refusal::Version:
        case Refusal::Unread:
            return EXIT_NO_ANSWER;
        case Refusal::None:
            break;
    }
    if (written.tells()) {
        return EXIT_NO_ANSWER;
    }
    fail(EXIT_NO_ANSWER,
         "Sterownik nie potwierdził zapisu ustawień: mógł je przyjąć albo nie. Sprawdź "
         "wartości odczytane ze sterownika i w razie potrzeby powtórz zapis.\n"
         "brak potwierdzenia po wysłaniu rekordu ustawień");
    return EXIT_NO_ANSWER;
}

// The write checks the record, and files it in the car library only once the
// controller acknowledged it.
int CCliApp::writeAndReadBack(const dev_setup_t& setup, const std::function<int()>& afterWrite) {
    // The write checks too; checked here, the messages stand as they are on their own.
    if (const std::string messages = device_->checkSetup(setup); !messages.empty()) {
        std::fputs(messages.c_str(), stderr);
        return EXIT_USAGE;
    }
    return finishWrite(settingsWrite_->write(setup), afterWrite);
}

// Says how a settings write ended, and runs `afterWrite` once it was acknowledged.
int CCliApp::finishWrite(const setup_write_t& written, const std::function<int()>& afterWrite) {
    if (written && written.tells()) {
        fail(EXIT_OK, written.problem);  // written, not filed: why
    }
    if (!written) {
        const int code = writeFailure(written);
        if (!written.refused()) {
            printReadBack(written);
        }
        return code;
    }
    if (afterWrite) {
        if (const int code = afterWrite(); code != EXIT_OK) {
            return code;
        }
    }
    if (!printReadBack(written)) {
        return EXIT_NO_ANSWER;
    }
    // Under the service unlock with no car named nothing is filed, and nothing failed.
    return written.filed || written.noCar ? EXIT_OK : EXIT_IO;
}

json CCliApp::writeJson(const setup_write_t& written) {
    json object{{"written", static_cast<bool>(written)}, {"filed", written.filed}};
    if (written && !written.filed && !written.problem.empty()) {
        object["notFiled"] = written.problem;
    }
    if (written.partial()) {
        object["held"] = written.held;
    }
    if (written) {
        object["at"] = written.when;
    }
    return object;
}

// Says how a map, table, fuel-sensor or EEPROM write ended: its flags and `object` on
// standard output, what went wrong on standard error.
int CCliApp::finishTransfer(const write_outcome_t& outcome, json object, const std::string& text) {
    if (outcome.refused()) {
        return writeFailure(outcome);
    }
    if (outcome.tells()) {
        fail(EXIT_OK, outcome.problem);
    }
    object.update(writeJson(outcome));
    print(object, outcome ? text : "");
    if (!outcome) {
        return EXIT_NO_ANSWER;
    }
    if (outcome.restartPending) {
        return fail(EXIT_NO_ANSWER,
                    "Nie powiodło się zresetowanie urządzenia!\n"
                    "wpisane dane sterownik przyjmie po wyłączeniu i włączeniu zapłonu");
    }
    return outcome.tells() && !outcome.filed ? EXIT_IO : EXIT_OK;
}

// What the controller holds, not the local copy: it may have rounded a value to its
// own steps (1.06 ms becomes 1.05 ms at 0.025 ms a tick). The write's flags are printed
// whether or not that read succeeds.
bool CCliApp::printReadBack(const setup_write_t& written) {
    dev_setup_t held;
    if (!device_->readSetup(held)) {
        print(writeJson(written), "");
        fail(EXIT_NO_ANSWER,
             "Nie można odczytać ustawień ze sterownika: sprawdź je poleceniem "
             "\"settings get\".\n"
             "brak odpowiedzi na odczyt ustawień po zapisie");
        return false;
    }
    json object = settingsJson(held);
    object.update(writeJson(written));
    print(object, settingsText(held));
    return true;
}

int CCliApp::cmdErrors() {
    if (opt_->clear) {
        if (!device_->clearErrors()) {
            return fail(EXIT_NO_ANSWER, "Nie można skasować błędów urządzenia");
        }
        return print(json{{"cleared", true}}, "");
    }
    CLPGDevice::report_t report{};
    if (!device_->readErrors(report)) {
        return fail(EXIT_NO_ANSWER, "Nie można wczytać błędów urządzenia");
    }
    std::string text = device_->decodeReport(report);
    if (text.empty()) {
        text = "Brak błędów.";
    }
    return print(json{{"report", hexOf(report.data(), report.size())}, {"text", text}},
                 text + "\n");
}

int CCliApp::cmdMode() {
    bool done = false;
    std::string failure;
    if (opt_->mode == "gasoline") {
        done = device_->setWorkGas();
        failure = "Nie powiodło się przełączenie na benzynę!";
    } else if (opt_->mode == "lpg") {
        done = device_->setWorkLPG();
        failure = "Nie powiodło się przełączenie na LPG!";
    } else {
        done = device_->setWorkAuto();
        failure = "Nie powiodło się przełączenie w tryb AUTO!";
    }
    if (!done) {
        return fail(EXIT_NO_ANSWER, failure);
    }
    return print(json{{"mode", opt_->mode}}, "");
}

int CCliApp::cmdEepromRead() {
    CEepromImage::bytes_t image{};
    if (!device_->readEeprom(image.data(), 0, image.size())) {
        return fail(EXIT_NO_ANSWER, CEepromImage::kReadFailedText);
    }
    std::string detail;
    if (CEepromImage::write(opt_->file, image, &detail) != CEepromImage::Result::Ok) {
        return fail(EXIT_IO,
                    std::string(CEepromImage::kCannotOpenText) + "\n" + opt_->file + ": " + detail);
    }
    return print(json{{"file", opt_->file}, {"bytes", image.size()}}, "");
}

// The image was read before the port was opened (prepareInputs).
int CCliApp::cmdEepromWrite() {
    return finishTransfer(dataWrite_->restoreEeprom(opt_->image),
                          json{{"file", opt_->file}, {"bytes", opt_->image.size()}}, "");
}
