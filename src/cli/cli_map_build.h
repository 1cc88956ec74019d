// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "corrections/map_proposal.h"

// `vapron-cli map build FILE`: the injection map proposal of a recording, printed as
// `map read` prints a map (50 lines of 8 whole percentages, 0 for no value), or as JSON
// whose "rows" `map write` takes back, with the samples behind every cell and the cells
// `--fill` filled.
class CCliMapBuild {
  public:
    struct options_t {
        bool json = false;
        unsigned long clockHz = 0;  // 0: from the recording's companion
        bool fill = false;          // "Uzupełnij puste" on the proposal
    };

    // Returns the tool's exit code: 0, 2 for a file without samples, 3 for one that
    // cannot be opened. Warns when the controller clock of the recording is not known.
    static int run(const std::string& file, const options_t& options, std::ostream& out,
                   std::ostream& err);

    static nlohmann::json toJson(const map_proposal_t& proposal);
    static std::string toText(const map_proposal_t& proposal);
};
