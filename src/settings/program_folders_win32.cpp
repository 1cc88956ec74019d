// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/program_folders.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "support/utf8_path.h"
#include "support/win32_text.h"

// The Windows form: %VAPRON_HOME% when set, else Vapron in the user's local application
// data (C:\Users\<name>\AppData\Local\Vapron). The old program kept its folders under
// Program Files, which a normal user cannot write today; CLegacyFolders finds them.

namespace {

std::string environment(const wchar_t* name) {
    const wchar_t* value = ::_wgetenv(name);
    return value != nullptr ? win32_text::narrow(value) : std::string();
}

// Windows sets LOCALAPPDATA for every user session; USERPROFILE gives it otherwise.
std::string localAppData() {
    const std::string local = environment(L"LOCALAPPDATA");
    if (!local.empty()) {
        return local;
    }
    const std::string profile = environment(L"USERPROFILE");
    return profile.empty() ? std::string() : profile + "\\AppData\\Local";
}

std::string withSlash(std::string path) {
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) {
        path += '/';
    }
    return path;
}

}  // namespace

std::string CProgramFolders::ensured(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(utf8Path(path), ignored);
    return withSlash(path);
}

std::string CProgramFolders::programFolder() {
    if (std::string home = environment(L"VAPRON_HOME"); !home.empty()) {
        return ensured(home);
    }
    const std::string local = localAppData();
    return ensured(withSlash(local.empty() ? "." : local) + "Vapron");
}

std::vector<std::string> CProgramFolders::legacyFolders() {
    wchar_t windows[MAX_PATH] = L"C";
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::string programFiles =
        win32_text::narrow(std::wstring(1, windows[0])) + ":\\Program Files\\Vapron";
    std::vector<std::string> folders;
    if (const std::string local = localAppData(); !local.empty()) {
        folders.push_back(withSlash(local) + "VirtualStore\\Program Files\\Vapron");
    }
    folders.push_back(programFiles);
    return folders;
}

std::string CProgramFolders::dataFolder() {
    return ensured(programFolder() + kDataPart);
}

std::string CProgramFolders::carSettingsRoot() {
    return ensured(programFolder() + carLibraryPart());
}
