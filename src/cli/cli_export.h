#pragma once

#include <iosfwd>
#include <string>

// `vapron-cli export FILE.lpgd [-o OUT.csv]`: the recording as CSV (see CCsvExport),
// by default beside it with the extension .csv.
class CCliExport {
  public:
    // Returns the tool's exit code: 0 when the CSV was written (lines of the recording
    // that could not be read are named on `err`), 2 for a file without samples, 3 for
    // a recording or CSV that cannot be read or written.
    static int run(const std::string& recording, const std::string& csv, bool json,
                   std::ostream& out, std::ostream& err);
};
