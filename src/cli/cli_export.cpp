// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_export.h"

#include <ostream>

#include <nlohmann/json.hpp>

#include "cli/cli_app.h"
#include "diag/csv_export.h"
#include "diag/recording_probe.h"

bool CCliExport::format(const choice_t& choice, csv_format_t& format) {
    const std::string& separator = choice.separator;
    format.separator = separator == "tab" ? '\t' : separator.size() == 1 ? separator[0] : '\0';
    format.decimal = choice.decimal.size() == 1 ? choice.decimal[0] : '\0';
    format.bom = choice.bom;
    return format.usable();
}

int CCliExport::run(const std::string& recording, const std::string& csvName,
                    const choice_t& choice, bool json, std::ostream& out, std::ostream& err) {
    csv_format_t csvFormat;
    if (!format(choice, csvFormat)) {
        err << "Wybierz separator , ; | albo tab i inny znak dziesiętny (. albo ,).\n"
            << "--separator " << choice.separator << " --decimal " << choice.decimal << std::endl;
        return CCliApp::EXIT_USAGE;
    }
    // A file without a sample is no recording: refused before a CSV of it replaces one.
    if (const CRecordingProbe::probe_t probe = CRecordingProbe::probe(recording);
        probe.result == CRecordingProbe::Result::NoSamples) {
        err << "Wskaż nagranie diagnostyczne (.lpgd): w tym pliku nie ma ani jednej próbki.\n"
            << recording << ": " << probe.reason << std::endl;
        return CCliApp::EXIT_IO;
    }
    const std::string csv = csvName.empty() ? CCsvExport::csvNameFor(recording) : csvName;
    const CCsvExport::result_t result = CCsvExport::exportFile(recording, csv, csvFormat);
    const std::string message = CCsvExport::message(result, recording, csv);
    switch (result.outcome) {
        case CCsvExport::Outcome::Written:
            break;
        case CCsvExport::Outcome::SameFile:
            err << message << std::endl;
            return CCliApp::EXIT_USAGE;
        default:
            err << message << std::endl;
            return CCliApp::EXIT_IO;
    }
    if (result.unreadLines > 0) {
        err << message.substr(message.find('\n') + 1) << std::endl;
    }
    if (json) {
        const nlohmann::json object = {{"file", csv},
                                       {"rows", result.rows},
                                       {"unreadLines", result.unreadLines},
                                       {"stopLine", result.stopLine}};
        out << object.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    } else {
        out << message.substr(0, message.find('\n')) << std::endl;
    }
    return CCliApp::EXIT_OK;
}
