// SPDX-License-Identifier: GPL-3.0-or-later
// "legacy": the old Windows program's recordings and car settings, and their copy.
#include "cli/cli_legacy.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/cli_app.h"
#include "settings/legacy_folders.h"
#include "settings/program_folders.h"

using nlohmann::json;

int CCliLegacy::run(bool copy, bool asJson, std::ostream& out, std::ostream& err) {
    const auto found = CLegacyFolders::find(CProgramFolders::legacyFolders());
    const std::string target = CProgramFolders::programFolder();
    json folders = json::array();
    int code = CCliApp::EXIT_OK;
    if (found.empty() && !asJson) {
        out << "Nie znaleziono danych starego programu.\n";
    }
    for (const auto& old : found) {
        json folder = {
            {"folder", old.folder}, {"recordings", old.recordings}, {"settings", old.settings}};
        if (!asJson) {
            out << old.folder << ": nagrania i obrazy EEPROM: " << old.recordings
                << ", pliki ustawień: " << old.settings << "\n";
        }
        if (copy) {
            const CLegacyFolders::copy_result_t result =
                CLegacyFolders::copyInto(old.folder, target);
            folder["copied"] = result.copied;
            folder["kept"] = result.kept;
            folder["failed"] = result.failed;
            if (!asJson) {
                out << "  skopiowane do " << target << ": " << result.copied
                    << ", już były (pozostawione): " << result.kept << "\n";
            }
            for (const auto& failure : result.failed) {
                err << "Nie można skopiować pliku: sprawdź miejsce na dysku i uprawnienia, "
                       "potem powtórz.\n"
                    << failure << "\n";
                code = CCliApp::EXIT_IO;
            }
        }
        folders.push_back(std::move(folder));
    }
    if (asJson) {
        out << json{{"programFolder", target}, {"legacyFolders", folders}}.dump(2) << "\n";
    } else if (!copy && !found.empty()) {
        out << "Aby je skopiować do " << target << ": vapron-cli legacy --copy\n";
    }
    return code;
}
