// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/car_settings_history.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>

#include "settings/car_info.h"
#include "support/file_io.h"
#include "support/local_time.h"
#include "support/utf8_path.h"

namespace fs = std::filesystem;

namespace {

const char* const kExtension = ".settings";

struct dated_file_t {
    std::string key;  // yyyymmdd HHMMSS and a counter, ordering the files by time
    car_settings_entry_t entry;
};

std::string timeOfDay(std::time_t when, const char* pattern) {
    const std::tm local = localTime(when);
    char text[16];
    return std::string(text, std::strftime(text, sizeof text, pattern, &local));
}

// A free name in `folder` for `stem` + HHMMSS: two stores in one second get "_2", "_3"...
std::string freeHistoryName(const fs::path& folder, const std::string& stem) {
    std::string name = stem + kExtension;
    std::error_code ec;
    for (int n = 2; fs::exists(folder / utf8Path(name), ec); ++n) {
        name = stem + "_" + std::to_string(n) + kExtension;
    }
    return name;
}

// <ID>-dd-mm-yyyy[-HHMMSS[_N]].settings; the ID itself may hold '-'.
bool parseName(const std::string& name, bool replaced, dated_file_t& file) {
    static const std::regex pattern(
        R"(^.*-(\d\d)-(\d\d)-(\d{4})(?:-(\d\d)(\d\d)(\d\d)(?:_(\d+))?)?\.settings$)");
    std::smatch m;
    if (!std::regex_match(name, m, pattern) || replaced != m[4].matched) {
        return false;
    }
    const std::string date = m[1].str() + "-" + m[2].str() + "-" + m[3].str();
    // The file of the day holds the day's last store.
    const std::string time = replaced ? m[4].str() + m[5].str() + m[6].str() : "999999";
    const int count = m[7].matched ? std::stoi(m[7].str()) : 1;
    char counter[16];
    std::snprintf(counter, sizeof counter, "%06d", count);
    file.key = m[3].str() + m[2].str() + m[1].str() + time + counter;
    file.entry.when =
        replaced ? date + " " + m[4].str() + ":" + m[5].str() + ":" + m[6].str() : date;
    return true;
}

// The file of the day carries no time in its name: the time of its store is its own
// modification time (as a replaced file's name takes it), unless it was touched on
// another day since.
void addStoreTime(car_settings_entry_t& entry) {
    std::time_t changed = 0;
    if (CFileIo::modifiedTime(entry.path, changed) &&
        timeOfDay(changed, "%d-%m-%Y") == entry.when) {
        entry.when += " " + timeOfDay(changed, "%H:%M:%S");
    }
}

void collect(const fs::path& folder, bool replaced, std::vector<dated_file_t>& files) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        const std::string name = utf8Text(it->path().filename());
        dated_file_t file;
        if (!it->is_directory(typeError) && parseName(name, replaced, file)) {
            file.entry.path = utf8Text(it->path());
            file.entry.replaced = replaced;
            if (!replaced) {
                addStoreTime(file.entry);
            }
            files.push_back(std::move(file));
        }
    }
}

}  // namespace

bool CCarSettingsHistory::keepReplaced(const std::string& path) {
    std::string movedTo;
    int error = 0;
    return moveReplaced(path, movedTo, error);
}

bool CCarSettingsHistory::moveReplaced(const std::string& path, std::string& movedTo, int& error) {
    movedTo.clear();
    std::time_t changed = 0;
    if (!CFileIo::modifiedTime(path, changed)) {
        return true;  // the first store of the day
    }
    const fs::path old = utf8Path(path);
    const fs::path folder = old.parent_path() / kFolder;
    std::error_code ec;
    fs::create_directory(folder, ec);
    if (ec) {
        error = ec.value();  // the folder's own failure (no free inodes), not the move's
        return false;
    }
    const std::string stem = utf8Text(old.stem()) + "-" + timeOfDay(changed, "%H%M%S");
    const fs::path target = folder / utf8Path(freeHistoryName(folder, stem));
    fs::rename(old, target, ec);
    if (ec) {
        error = ec.value();
        return false;
    }
    movedTo = utf8Text(target);
    return true;
}

std::vector<car_settings_entry_t> CCarSettingsHistory::list(const std::string& carFolder) {
    std::vector<dated_file_t> files;
    collect(utf8Path(carFolder), false, files);
    collect(utf8Path(carFolder) / kFolder, true, files);
    std::sort(files.begin(), files.end(), [](const dated_file_t& a, const dated_file_t& b) {
        return a.key != b.key ? a.key < b.key : a.entry.path < b.entry.path;
    });
    std::vector<car_settings_entry_t> entries;
    entries.reserve(files.size());  // `previous` points into it
    const device_info_t* previous = nullptr;
    for (auto& file : files) {
        car_settings_entry_t& entry = entries.emplace_back(std::move(file.entry));
        entry.readable = CCarInfo::readCarSettingsFile(entry.path, entry.info);
        if (!entry.readable) {
            continue;
        }
        if (previous) {
            entry.changes = CSettingsCompare::differences(previous->setup, entry.info.setup);
        }
        previous = &entry.info;
    }
    return entries;
}
