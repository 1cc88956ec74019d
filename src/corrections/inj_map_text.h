#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

}  // namespace injmap_text
