// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>

// `vapron-cli legacy [--copy]`: the recordings and car settings the old Windows program
// left in its folders, and with --copy, those files brought into the program folder
// (files already there are kept; the old folders are not changed).
class CCliLegacy {
  public:
    // Lists the old folders found, and with `copy` copies what the program folder lacks;
    // as one JSON object with `asJson`.
    static int run(bool copy, bool asJson, std::ostream& out, std::ostream& err);
};
