// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_map_build.h"

#include <ostream>
#include <sstream>

#include "cli/cli_app.h"
#include "corrections/inj_map.h"
#include "corrections/inj_map_build.h"
#include "corrections/inj_map_text.h"
#include "corrections/map_fill.h"
#include "diag/recording_probe.h"
#include "diag/settings_history.h"
#include "support/error_guard.h"

using nlohmann::json;

namespace {

// The clock of the controllers this program was first written for.

// 50 rows of 8 values of one per-cell array.
template <class Array>
json rowsOf(const Array& cells) {
    json rows = json::array();
    for (int r = 0; r < injmap::kRows; ++r) {
        json row = json::array();
        for (int c = 0; c < injmap::kColumns; ++c)
            row.push_back(cells[injmap::cellIndex(r, c)]);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

json CCliMapBuild::toJson(const map_proposal_t& p) {
    return json{{"rows", rowsOf(p.percent)},
                {"gasolineSamples", rowsOf(p.gasolineSamples)},
                {"lpgSamples", rowsOf(p.lpgSamples)},
                {"samples", p.samples},
                {"accepted", p.accepted}};
}

std::string CCliMapBuild::toText(const map_proposal_t& p) {
    std::ostringstream text;
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int c = 0; c < injmap::kColumns; ++c)
            text << (c ? "\t" : "") << p.percent[injmap::cellIndex(r, c)];
        text << '\n';
    }
    return text.str();
}

int CCliMapBuild::run(const std::string& file, const options_t& options, std::ostream& out,
                      std::ostream& err) {
    CInjMap recording(file);
    if (!recording.reader().isOpen()) {
        err << injmap_text::kCannotOpen << '\n'
            << injmap_text::detail(file, CFileIo::describe(recording.reader().openFailure()))
            << std::endl;
        return CCliApp::EXIT_IO;
    }
    CInjMapBuild build;
    const std::optional<CControllerClock> clock = options.clockHz != 0
                                                      ? CControllerClock::of(options.clockHz)
                                                      : CSettingsHistory::clockOf(file);
    build.setClock(clock.value_or(CControllerClock{}));
    recording.build(build);
    map_proposal_t proposal = build.proposal();
    if (proposal.samples == 0) {  // a file that holds no recording, as for every command
        err << injmap_text::kNoSamples << '\n'
            << injmap_text::detail(file, CRecordingProbe::probe(file).reason) << std::endl;
        return CCliApp::EXIT_IO;
    }
    if (!clock) {
        err << injmap_text::unknownClock(file, CControllerClock::kUsualHz) << std::endl;
    }
    if (recording.unreadLines() > 0) {
        err << injmap_text::unreadLines(file, recording.reader().stopLine(),
                                        recording.unreadLines())
            << std::endl;
    }
    if (proposal.empty()) {
        err << injmap_text::emptyProposal(file, proposal) << std::endl;
    }
    CMapFill::cells_t filled{};
    if (options.fill) {
        const CMapFill::result_t result = CMapFill::fill(proposal.percent, proposal.valued);
        proposal.percent = result.percent;
        filled = result.filled;
        err << injmap_text::filledCells(filled) << std::endl;
    }
    if (options.json) {
        json document = toJson(proposal);
        if (options.fill) {
            document["filled"] = rowsOf(filled);
        }
        out << document.dump(2, ' ', false, json::error_handler_t::replace) << std::endl;
    } else {
        out << toText(proposal) << std::flush;
    }
    return CCliApp::EXIT_OK;
}
