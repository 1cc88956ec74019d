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

}  // namespace autosetup_text
