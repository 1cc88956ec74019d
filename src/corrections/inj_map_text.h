// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "corrections/inj_map_cells.h"

struct map_proposal_t;

// What the map build tells the user about a recording, the same in the window and in
// the command-line tool: the advice first, the technical detail on the second line.
namespace injmap_text {

inline constexpr const char* kCannotOpen =
    "Nie można otworzyć pliku do odczytu danych diagnostycznych";
inline constexpr const char* kNoSamples =
    "Plik nie zawiera próbek diagnostycznych. Wskaż plik zapisany w trybie diagnostycznym "
    "(.lpgd).";

// "path: reason".
std::string detail(const std::string& path, const std::string& reason);
// The proposal has no value at all: what the drive lacked.
std::string emptyProposal(const std::string& path, const map_proposal_t& proposal);
// Reading stopped before the end of the file: the map rests on the lines before it.
std::string unreadLines(const std::string& path, std::size_t stopLine, std::size_t unread);

// The recording does not say which controller clock it was made with: the map assumes
// `assumedHz`.
std::string unknownClock(const std::string& path, unsigned long assumedHz);
// "wiersz 11 (5.0-5.5 ms), 2000-3000 obr/min" of a map cell.
std::string cellName(int cell);
// The cells "Uzupełnij puste" filled, one a line after the count.
std::string filledCells(const std::array<bool, injmap::kCells>& filled);

}  // namespace injmap_text
