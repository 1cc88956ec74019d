#pragma once

#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "corrections/map_proposal.h"

// `vapron-cli map build FILE`: the injection map proposal of a recording, printed as
// `map read` prints a map (50 lines of 8 whole percentages, 0 for no value), or as JSON
// whose "rows" `map write` takes back, with the samples behind every cell.
class CCliMapBuild {
  public:
    // Returns the tool's exit code: 0, 2 for a file without samples, 3 for one that
    // cannot be opened.
    static int run(const std::string& file, bool json, std::ostream& out, std::ostream& err);

    static nlohmann::json toJson(const map_proposal_t& proposal);
    static std::string toText(const map_proposal_t& proposal);
};
