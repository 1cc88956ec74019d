// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/auto_setup_text.h"

#include <algorithm>
#include <cstdio>
#include <locale>
#include <sstream>

namespace autosetup_text {

std::string separator() {
    return std::string(82, '-');
}

std::string startTime(const std::tm& local) {
    char text[64] = {};
    std::strftime(text, sizeof text, "Czas rozpoczęcia: %d-%m:%Y %H:%M:%S", &local);
    return text;
}

std::string number(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

std::string outOfRangeText(double found, double kept) {
    const auto polish = [](double ms) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", ms);
        std::string out = text;
        std::replace(out.begin(), out.end(), '.', ',');
        return out + " ms";
    };
    return "Wyliczona główna poprawka (" + polish(found) +
           ") leży poza zakresem, który przyjmuje sterownik (0 do 6 ms).\n"
           "Wyniku nie wpisano; w sterowniku pozostała główna poprawka " +
           polish(kept) +
           ".\nSprawdź dobór wtryskiwaczy i ciśnienie reduktora, potem powtórz procedurę.";
}

std::string succeededSummary(double mainCorrection) {
    return "Autoustawianie zakończone. Do sterownika wpisano główną poprawkę " +
           number(mainCorrection) + " ms.";
}

std::string failedSummary(const std::string& reason, mode_left_t mode, bool fromSamples,
                          const double* mainWrittenAfterFirstStep) {
    std::string text = "Autoustawianie nie dało wyniku: " + reason + ".\n";
    switch (mode) {
        case mode_left_t::Unchanged:
            text += "Trybu pracy sterownika nie zmieniano.";
            break;
        case mode_left_t::Gasoline:
            text += fromSamples ? "Według ostatnich próbek sterownik pracuje w trybie benzyny."
                                : "Sterownik pozostał w trybie benzyny (ustawionym jako ostatni).";
            break;
        case mode_left_t::Lpg:
            text += fromSamples ? "Według ostatnich próbek sterownik pracuje w trybie LPG."
                                : "Sterownik pozostał w trybie LPG (ustawionym jako ostatni).";
            break;
        case mode_left_t::Unknown:
            text +=
                "Nie wiadomo, w jakim trybie pracuje sterownik: nie potwierdził ostatniego "
                "przełączenia. Sprawdź tryb na panelu.";
            break;
    }
    if (mainWrittenAfterFirstStep) {
        text += "\nPo pierwszym kroku wpisano do sterownika główną poprawkę " +
                number(*mainWrittenAfterFirstStep) + " ms; jest w nim nadal.";
    } else {
        text += "\nGłównej poprawki w sterowniku nie zmieniono.";
    }
    return text;
}

}  // namespace autosetup_text
