#include "settings/file_preferences.h"

#include <fstream>
#include <sstream>

#include "settings/atomic_file.h"
#include "settings/program_folders.h"

namespace {

const char* const kLastCarFile = "Last car file";

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
    const auto values = load();
    const auto it = values.find(kLastCarFile);
    return it == values.end() ? std::string() : it->second;
}

void CFilePreferences::setLastCarFile(const std::string& path) {
    auto values = load();
    values[kLastCarFile] = path;
    store(values);
}

std::map<std::string, std::string> CFilePreferences::load() const {
    std::map<std::string, std::string> values;
    std::ifstream in(path_);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = unescaped(line.substr(eq + 1));
        }
    }
    return values;
}

void CFilePreferences::store(const std::map<std::string, std::string>& values) const {
    std::ostringstream text;
    for (const auto& [key, value] : values) {
        text << key << '=' << escaped(value) << '\n';
    }
    const std::string bytes = text.str();
    CAtomicFile::replace(path_, bytes.data(), bytes.size());  // a lost preference is harmless
}
