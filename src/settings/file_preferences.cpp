// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/file_preferences.h"

#include <sstream>

#include "settings/program_folders.h"
#include "support/atomic_file.h"

namespace {

const char* const kLastCarFile = "Last car file";
const char* const kCsvForSpreadsheet = "CSV for spreadsheet";
const char* const kLegacyFoldersOffered = "Legacy folders offered";
// A few short lines; a larger file is not ours: read as empty and never replaced.
constexpr std::size_t kMaxFileSize = 1024 * 1024;

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            out += text[i] == 'n' ? '\n' : text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

CFilePreferences::CFilePreferences(std::string path)
    : path_(path.empty() ? CProgramFolders::programFolder() + "vapron.ini" : std::move(path)) {}

std::string CFilePreferences::lastCarFile() {
    return value(kLastCarFile);
}

void CFilePreferences::setLastCarFile(const std::string& path) {
    setValue(kLastCarFile, path);
}

std::optional<bool> CFilePreferences::csvForSpreadsheet() {
    const std::string stored = value(kCsvForSpreadsheet);
    if (stored.empty()) {
        return std::nullopt;
    }
    return stored == "1";
}

void CFilePreferences::setCsvForSpreadsheet(bool spreadsheet) {
    setValue(kCsvForSpreadsheet, spreadsheet ? "1" : "0");
}

bool CFilePreferences::legacyFolderOffered(const std::string& folder) {
    std::istringstream folders(value(kLegacyFoldersOffered));
    for (std::string line; std::getline(folders, line);) {
        if (line == folder) {
            return true;
        }
    }
    return false;
}

void CFilePreferences::setLegacyFolderOffered(const std::string& folder) {
    if (!legacyFolderOffered(folder)) {
        const std::string folders = value(kLegacyFoldersOffered);
        setValue(kLegacyFoldersOffered, folders + (folders.empty() ? "" : "\n") + folder);
    }
}

std::string CFilePreferences::value(const char* key) {
    std::map<std::string, std::string> values;
    load(values);
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

void CFilePreferences::setValue(const char* key, const std::string& value) {
    std::map<std::string, std::string> values;
    if (!load(values)) {
        return;  // replacing a file that could not be read would lose its other values
    }
    values[key] = value;
    store(values);
}

bool CFilePreferences::load(std::map<std::string, std::string>& values) const {
    const CFileIo::result_t read = CFileIo::readFile(path_, kMaxFileSize);
    if (!read.ok()) {
        return read.failure == CFileIo::Failure::Missing;
    }
    std::istringstream in(std::string(read.bytes.begin(), read.bytes.end()));
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = unescaped(line.substr(eq + 1));
        }
    }
    return true;
}

void CFilePreferences::store(const std::map<std::string, std::string>& values) const {
    std::ostringstream text;
    for (const auto& [key, value] : values) {
        text << key << '=' << escaped(value) << '\n';
    }
    const std::string bytes = text.str();
    (void)CAtomicFile::replace(path_, bytes.data(), bytes.size());  // a lost preference is harmless
}
