// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/setup_report_model.h"

#include <cstdio>

#include "link/setup_fields.h"
#include "settings/car_texts.h"
#include "settings/cp1250.h"
#include "settings/setup_boxes.h"
#include "support/local_time.h"

namespace {

std::string formatTime(std::time_t when, const char* format) {
    const std::tm local = localTime(when);
    char text[64];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// Up to three decimals, as the settings are stepped, without trailing zeros and with
// the decimal comma of a Polish document: 1200, 1,25, 0,025.
std::string number(double value, bool integral) {
    char text[32];
    std::snprintf(text, sizeof text, integral ? "%.0f" : "%.3f", value);
    std::string shown = text;
    if (!integral) {
        shown.erase(shown.find_last_not_of('0') + 1);
        if (shown.back() == '.')
            shown.pop_back();
    }
    if (const auto point = shown.find('.'); point != std::string::npos)
        shown[point] = ',';
    return shown;
}

std::string polishUnit(const std::string& unit) {
    return unit == "rev/min" ? "obr/min" : unit;
}

std::string yesNo(bool on) {
    return on ? "tak" : "nie";
}

// Every function the flag byte switches, in words, the raw byte after them.
std::string functionsText(const setup_boxes_t& boxes, double flags) {
    const auto on = [flags](std::uint8_t flag) {
        return yesNo((static_cast<unsigned>(flags) & flag) != 0);
    };
    return "główna poprawka: " + yesNo(boxes.mainCorrection) +
           ", poprawki od ciśnienia różnicowego: " + yesNo(boxes.pressureCorrection) +
           ", tablica poprawek czasu: " + on(dev_setup_t::FLAG_TIME_TABLE) +
           ", mapa wtrysków: " + on(dev_setup_t::FLAG_INJECTION_MAP) +
           " (bajt funkcji: " + number(flags, true) + ")";
}

std::string injectionText(const setup_boxes_t& boxes) {
    static const char* const kTypes[] = {"Pełna sekwencja", "Niesekwencja", "Półsekwencja"};
    std::string text = kTypes[boxes.injectionType];
    if (boxes.gasoline12V) {
        text += ", wtryskiwacze benzynowe załączane sygnałem 12 V";
    }
    return text;
}

std::string orDash(const std::string& text) {
    return text.empty() ? "—" : text;
}

// Characters a file name on either system cannot hold become '_'.
std::string fileSafe(const std::string& text) {
    std::string safe;
    for (char c : text) {
        const bool bad = std::string("/\\:*?\"<>| ").find(c) != std::string::npos;
        safe += bad ? '_' : c;
    }
    return safe;
}

}  // namespace

CSetupReportModel::CSetupReportModel(const sources_t& sources)
    : info_(sources.info ? *sources.info : device_info_t{}),
      created_(formatTime(sources.when, "%d.%m.%Y %H:%M")),
      proposal_(sources.proposal),
      autoSetupLog_(sources.autoSetupLog) {
    gatherCar();
    gatherController(sources);
    gatherSettings();
    for (int i = 0; i < injmap::kCells; ++i) {
        mapPercent_[i] = injmap::percentOfByte(sources.map[i]);
    }
    gatherErrors(sources.errors);
    gatherSequence(sources);
}

std::string CSetupReportModel::fileName(const std::string& make, const std::string& model,
                                        std::time_t when) {
    // A car without a make or model gives no empty parts ("Raport-07-12-2026.pdf").
    std::string name = "Raport-";
    for (const std::string& part : {make, model}) {
        if (!part.empty())
            name += fileSafe(part) + "-";
    }
    return name + formatTime(when, "%d-%m-%Y") + ".pdf";
}

void CSetupReportModel::gatherCar() {
    const car_texts_t car = car_texts_t::fromRecord(info_);
    car_ = {{"Marka pojazdu", orDash(car.make)},
            {"Model", orDash(car.model)},
            {"Rok produkcji", orDash(car.year)},
            {"Pojemność silnika", orDash(car.capacity)},
            {"Moc [KM]", orDash(car.power)},
            {"Zamontowane wtryskiwacze", orDash(car.injectorsFitted)},
            {"Skalibrowane na wydatek", orDash(car.calibratedFor)}};
    notes_ = cp1250ToUtf8(info_.notes);
}

void CSetupReportModel::gatherController(const sources_t& sources) {
    controller_.push_back({"Identyfikator", orDash(cp1250ToUtf8(info_.id))});
    if (sources.version) {
        const version_record_t& v = *sources.version;
        char date[16];
        std::snprintf(date, sizeof date, "%02d.%02d.%04d", v.day, v.month, v.year);
        controller_.push_back({"Wersja", std::to_string(v.version)});
        controller_.push_back({"Data programowania", date});
    } else {
        controller_.push_back({"Wersja", info_.version ? std::to_string(info_.version) : "—"});
        controller_.push_back({"Data programowania", "nie odczytano"});
    }
}

void CSetupReportModel::gatherSettings() {
    setup_boxes_t boxes;
    boxes.fromRecord(info_);
    for (const setup_field_t& field : setupFields()) {
        const std::string name = field.name;
        if (name == "functionFlags") {
            settings_.push_back({field.label, functionsText(boxes, field.get(info_.setup))});
            continue;
        }
        if (name == "injectionType") {
            settings_.push_back({field.label, injectionText(boxes)});
            continue;
        }
        std::string value = number(field.get(info_.setup), field.integral());
        if (field.unit && *field.unit) {
            value += " " + polishUnit(field.unit);
        }
        settings_.push_back({field.label, value});
    }
}

void CSetupReportModel::gatherErrors(const std::optional<std::string>& decoded) {
    if (!decoded) {
        errors_.push_back("Nie odczytano kodów błędów.");
        return;
    }
    // The decoder separates modules with "\r\n" and faults with "\r\n\t".
    std::string line;
    for (char c : *decoded) {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) {
                errors_.push_back(line);
            }
            line.clear();
        } else {
            line += c == '\t' ? ' ' : c;
        }
    }
    if (!line.empty()) {
        errors_.push_back(line);
    }
    if (errors_.empty()) {
        errors_.push_back("Brak zapisanych błędów.");
    }
}

void CSetupReportModel::gatherSequence(const sources_t& sources) {
    if (!sources.sequence) {
        sequence_.push_back("Nie odczytano kolejności wtryskiwaczy.");
        return;
    }
    for (const sequence_entry_t& entry : *sources.sequence) {
        if (entry.present) {
            sequence_.push_back("Wtryskiwacz " + std::to_string(entry.injector) + ": pozycja " +
                                std::to_string(entry.position) + ", " +
                                number(entry.timeMs, false) + " ms");
        }
    }
    if (sequence_.empty()) {
        sequence_.push_back("Nie wykryto pracy wtryskiwaczy.");
    }
    // Injectors that all fire together: the engine is not sequential.
    if (!sources.staggered) {
        sequence_.push_back("Silnik z wtryskiem niesekwencyjnym");
    }
}
