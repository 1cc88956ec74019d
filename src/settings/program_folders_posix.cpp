// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/program_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string envOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder() {
    std::string home = envOrEmpty("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
            home = pw->pw_dir;
        }
    }
    return home.empty() ? "." : home;
}

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

}  // namespace

std::string CProgramFolders::ensured(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
    return withSlash(path);
}

std::string CProgramFolders::programFolder() {
    if (std::string home = envOrEmpty("VAPRON_HOME"); !home.empty()) {
        return ensured(home);
    }
    if (std::string data = envOrEmpty("XDG_DATA_HOME"); !data.empty()) {
        return ensured(withSlash(data) + "Vapron");
    }
    return ensured(homeFolder() + "/.local/share/Vapron");
}

std::vector<std::string> CProgramFolders::legacyFolders() {
    const std::string prefix = envOrEmpty("WINEPREFIX");
    return {(prefix.empty() ? homeFolder() + "/.wine" : prefix) + "/drive_c/Program Files/Vapron"};
}

std::string CProgramFolders::dataFolder() {
    return ensured(programFolder() + kDataPart);
}

std::string CProgramFolders::carSettingsRoot() {
    return ensured(programFolder() + carLibraryPart());
}
