// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "link/port_list.h"

// `vapron-cli ports`: the serial devices of this machine, whether this user may open
// each and, when not, why and what to do; then the programs known to take USB serial
// adapters away. A device named with --port is explained too when it is not listed.
class CCliPorts {
  public:
    static int run(const std::string& named, bool json, std::ostream& out);

    static nlohmann::json toJson(const CPortList::listing_t& listing);
    static std::string toText(const CPortList::listing_t& listing);
};
