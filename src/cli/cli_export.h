// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

struct csv_format_t;

// `vapron-cli export FILE.lpgd [-o OUT.csv] [--separator S] [--decimal D] [--bom]`: the
// recording as CSV (see CCsvExport), by default beside it with the extension .csv.
class CCliExport {
  public:
    // The format as the command line names it: separator "," ";" "|" or "tab".
    struct choice_t {
        std::string separator = ",";
        std::string decimal = ".";
        bool bom = false;
    };

    // Returns the tool's exit code: 0 when the CSV was written (lines of the recording
    // that could not be read are named on `err`), 2 for an unusable format or a CSV that
    // would replace the recording, 3 for a recording or CSV that cannot be read or
    // written or a file that holds no samples.
    static int run(const std::string& recording, const std::string& csv, const choice_t& choice,
                   bool json, std::ostream& out, std::ostream& err);
    // False when the separator and decimal mark cannot make a readable file.
    static bool format(const choice_t& choice, csv_format_t& format);
};
