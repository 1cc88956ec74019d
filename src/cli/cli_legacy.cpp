// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_legacy.h"

#include <ostream>

#include "cli/cli_app.h"
#include "settings/legacy_folders.h"
#include "settings/program_folders.h"

int CCliLegacy::run(bool copy, std::ostream& out, std::ostream& err) {
    const auto found = CLegacyFolders::find(CProgramFolders::legacyFolders());
    if (found.empty()) {
        out << "Nie znaleziono danych starego programu.\n";
        return CCliApp::EXIT_OK;
    }
    const std::string target = CProgramFolders::programFolder();
    int code = CCliApp::EXIT_OK;
    for (const auto& old : found) {
        out << old.folder << ": nagrania i obrazy EEPROM: " << old.recordings
            << ", pliki ustawień: " << old.settings << "\n";
        if (!copy) {
            continue;
        }
        const CLegacyFolders::copy_result_t result = CLegacyFolders::copyInto(old.folder, target);
        out << "  skopiowane do " << target << ": " << result.copied
            << ", już były (pozostawione): " << result.kept << "\n";
        for (const auto& failure : result.failed) {
            err << "Nie można skopiować pliku: sprawdź miejsce na dysku i uprawnienia, potem "
                   "powtórz.\n"
                << failure << "\n";
            code = CCliApp::EXIT_IO;
        }
    }
    if (!copy) {
        out << "Aby je skopiować do " << target << ": vapron-cli legacy --copy\n";
    }
    return code;
}
