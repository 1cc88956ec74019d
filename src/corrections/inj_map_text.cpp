// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_map_text.h"

#include <cstdio>

#include "corrections/map_proposal.h"

namespace injmap_text {

std::string detail(const std::string& path, const std::string& reason) {
    return path + ": " + reason;
}

std::string emptyProposal(const std::string& path, const map_proposal_t& p) {
    return "Z tego nagrania nie powstała żadna wartość mapy: komórka potrzebuje ponad 10 "
           "próbek na benzynie i ponad 10 na LPG przy tych samych obrotach i podciśnieniu. "
           "Nagraj jazdę na obu paliwach w podobnych warunkach.\n" +
           detail(path, "próbek " + std::to_string(p.samples) + ", przyjętych " +
                            std::to_string(p.accepted));
}

std::string unreadLines(const std::string& path, std::size_t stopLine, std::size_t unread) {
    return "Część pliku pominięto: mapa powstała z próbek przed wierszem " +
           std::to_string(stopLine) + ". Sprawdź, czy to właściwe nagranie.\n" +
           detail(path, "od wiersza " + std::to_string(stopLine) +
                            " nieodczytanych wierszy: " + std::to_string(unread));
}

std::string unknownClock(const std::string& path, unsigned long assumedHz) {
    return "Nie wiadomo, z jakim zegarem sterownika nagrano ten plik; mapę policzono dla " +
           std::to_string(assumedHz) +
           " Hz. Jeśli sterownik ma inny zegar, podaj go, bo czasy i obroty będą błędne.\n" +
           detail(path + "-config", "brak zapisu ustawień z zegarem sterownika");
}

std::string cellName(int cell) {
    const int row = cell / injmap::kColumns;
    const int column = cell % injmap::kColumns;
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.1f-%.1f", row * injmap::kRowMs, (row + 1) * injmap::kRowMs);
    return "wiersz " + std::to_string(row + 1) + " (" + ms + " ms), " +
           std::to_string(column * injmap::kColumnRpm) + "-" +
           std::to_string((column + 1) * injmap::kColumnRpm) + " obr/min";
}

std::string filledCells(const std::array<bool, injmap::kCells>& filled) {
    std::string cells;
    int count = 0;
    for (int i = 0; i < injmap::kCells; ++i) {
        if (filled[i]) {
            cells += "\n" + cellName(i);
            ++count;
        }
    }
    return "Uzupełniono komórek między wartościami: " + std::to_string(count) + cells;
}

}  // namespace injmap_text
