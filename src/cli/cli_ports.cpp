// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_ports.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "cli/cli_app.h"

using nlohmann::json;

namespace {

json textOrNull(const std::string& text) {
    return text.empty() ? json(nullptr) : json(text);
}

// Every line of a multi-line text indented under its port.
std::string indented(const std::string& text) {
    std::string out = "    ";
    for (char c : text) {
        out += c;
        if (c == '\n') {
            out += "    ";
        }
    }
    return out + "\n";
}

}  // namespace

json CCliPorts::toJson(const CPortList::listing_t& listing) {
    json ports = json::array();
    for (const auto& port : listing.ports) {
        ports.push_back({{"path", port.path},
                         {"byId", textOrNull(port.byId)},
                         {"description", port.description},
                         {"accessible", port.accessible},
                         {"problem", textOrNull(port.problem)},
                         {"latencyMs", port.latencyMs >= 0 ? json(port.latencyMs) : json(nullptr)},
                         {"latencyAdvice", textOrNull(port.latencyAdvice)}});
    }
    return {{"ports", ports}, {"warnings", listing.warnings}};
}

std::string CCliPorts::toText(const CPortList::listing_t& listing) {
    std::ostringstream text;
    if (listing.ports.empty()) {
        text << CPortList::kNoPorts << "\n";
    }
    for (const auto& port : listing.ports) {
        text << port.path << "  " << port.description << "  "
             << (port.accessible ? "dostępny" : "niedostępny");
        if (port.latencyMs >= 0) {
            text << "  opóźnienie " << port.latencyMs << " ms";
        }
        text << "\n";
        if (!port.byId.empty()) {
            text << indented(port.byId);
        }
        if (!port.problem.empty()) {
            text << indented(port.problem);
        }
        if (!port.latencyAdvice.empty()) {
            text << indented(port.latencyAdvice);
        }
    }
    for (const auto& warning : listing.warnings) {
        text << "\n" << warning << "\n";
    }
    return text.str();
}

int CCliPorts::run(const std::string& named, bool asJson, std::ostream& out) {
    const CPortList ports;
    CPortList::listing_t listing = ports.list();
    const bool listed = std::any_of(
        listing.ports.begin(), listing.ports.end(),
        [&](const port_entry_t& port) { return port.path == named || port.byId == named; });
    if (!named.empty() && !listed) {
        listing.ports.insert(listing.ports.begin(), ports.check(named));
    }
    if (asJson) {
        out << toJson(listing).dump(2, ' ', false, json::error_handler_t::replace) << std::endl;
    } else {
        out << toText(listing) << std::flush;
    }
    return CCliApp::EXIT_OK;
}
