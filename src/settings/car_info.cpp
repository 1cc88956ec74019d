// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/car_info.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "link/device_info.h"
#include "settings/cp1250.h"
#include "settings/i_preferences.h"
#include "settings/program_folders.h"
#include "support/atomic_file.h"
#include "support/local_time.h"
#include "support/utf8_path.h"

namespace fs = std::filesystem;

namespace {

const char* const kExtension = ".settings";

// "dd-mm-yyyy-HH:MM:SS" as "yyyy-mm-dd-HH:MM:SS", so that texts compare as times; a
// stamp of another form sorts before every proper one.
std::string sortableStamp(const std::string& stamp) {
    if (stamp.size() < 10 || stamp[2] != '-' || stamp[5] != '-') {
        return {};
    }
    return stamp.substr(6, 4) + "-" + stamp.substr(3, 2) + "-" + stamp.substr(0, 2) +
           stamp.substr(10);
}

std::vector<std::string> sortedUnique(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string formatTime(const char* pattern, std::time_t now) {
    const std::tm local = localTime(now);
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, pattern, &local);
    return std::string(text, n);
}

// The folder name in a path: the part between the last two '/'.
std::string parentName(const std::string& path) {
    const auto last = path.rfind('/');
    if (last == std::string::npos || last == 0) {
        return {};
    }
    const auto prev = path.rfind('/', last - 1);
    const auto begin = prev == std::string::npos ? 0 : prev + 1;
    return path.substr(begin, last - begin);
}

}  // namespace

CCarInfo::CCarInfo(IPreferences* prefs, std::string root) : prefs_(prefs), root_(std::move(root)) {
    if (!root_.empty() && root_.back() != '/') {
        root_ += '/';
    }
}

std::string CCarInfo::carSettingsRoot() const {
    return root_.empty() ? CProgramFolders::carSettingsRoot() : root_;
}

std::vector<CCarInfo::folder_t> CCarInfo::carFolders() const {
    std::vector<folder_t> folders;
    std::error_code ec;
    for (fs::directory_iterator it(utf8Path(carSettingsRoot()), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            folders.push_back({utf8Text(it->path().filename()), folderCar(utf8Text(it->path()))});
        }
    }
    return folders;
}

car_texts_t CCarInfo::folderCar(const std::string& folderPath) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(utf8Path(folderPath), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        const std::string name = utf8Text(it->path().filename());
        if (it->is_regular_file(typeError) && endsWith(name, kExtension)) {
            names.push_back(utf8Text(it->path()));
        }
    }
    std::sort(names.begin(), names.end());
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        device_info_t info;
        if (readCarSettingsFile(*name, info) && !info.make.empty()) {
            return car_texts_t::fromRecord(info);
        }
    }
    car_texts_t car;
    splitFolderName(utf8Text(utf8Path(folderPath).filename()), car.make, car.model, car.capacity);
    return car;
}

std::string CCarInfo::carFolder(const std::string& make, const std::string& model,
                                const std::string& capacity) const {
    for (const folder_t& folder : carFolders()) {
        if (folder.car.make == make && folder.car.model == model &&
            folder.car.capacity == capacity) {
            return folder.name;
        }
    }
    return carFolderName(make, model, capacity);
}

std::vector<std::string> CCarInfo::listMakes() const {
    std::vector<std::string> makes;
    for (const folder_t& folder : carFolders()) {
        makes.push_back(folder.car.make);
    }
    return sortedUnique(std::move(makes));
}

std::vector<std::string> CCarInfo::listModels(const std::string& make) const {
    std::vector<std::string> models;
    for (const folder_t& folder : carFolders()) {
        if (folder.car.make == make) {
            models.push_back(folder.car.model);
        }
    }
    return sortedUnique(std::move(models));
}

std::vector<std::string> CCarInfo::listCapacities(const std::string& make,
                                                  const std::string& model) const {
    std::vector<std::string> capacities;
    for (const folder_t& folder : carFolders()) {
        if (folder.car.make == make && folder.car.model == model) {
            capacities.push_back(folder.car.capacity);
        }
    }
    return sortedUnique(std::move(capacities));
}

std::vector<std::string> CCarInfo::listSettingsFiles(const std::string& make,
                                                     const std::string& model,
                                                     const std::string& capacity) const {
    std::vector<std::string> files;
    std::error_code ec;
    const std::string folder = carSettingsRoot() + carFolder(make, model, capacity);
    for (fs::directory_iterator it(utf8Path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        const std::string name = utf8Text(it->path().filename());
        if (!it->is_directory(typeError) && endsWith(name, kExtension)) {
            files.push_back(name);
        }
    }
    return sortedUnique(std::move(files));
}

std::optional<car_texts_t> CCarInfo::onlyCar(const std::string& make,
                                             const std::string& model) const {
    const std::vector<std::string> capacities = listCapacities(make, model);
    if (capacities.size() != 1) {
        return std::nullopt;
    }
    const std::string folder = carSettingsRoot() + carFolderName(make, model, capacities[0]) + "/";
    std::optional<car_texts_t> newest;
    std::string newestStamp;
    for (const std::string& file : listSettingsFiles(make, model, capacities[0])) {
        device_info_t info;
        if (!readCarSettingsFile(folder + file, info)) {
            continue;
        }
        const std::string stamp = sortableStamp(info.timeStamp);
        if (!newest || stamp > newestStamp) {
            newest = car_texts_t::fromRecord(info);
            newestStamp = stamp;
        }
    }
    if (newest) {
        newest->make = make;
        newest->model = model;
        newest->capacity = capacities[0];
    }
    return newest;
}

car_texts_t CCarInfo::readLastCarInfo(const std::string& connectedId) const {
    car_texts_t car;
    const std::string path = prefs_ ? prefs_->lastCarFile() : std::string();
    splitFolderName(parentName(path), car.make, car.model, car.capacity);
    if (car.make.empty()) {
        return car;
    }
    device_info_t info;
    if (readCarSettingsFile(path, info)) {
        // The folder names the car when the file does not.
        const car_texts_t folder = car;
        car = car_texts_t::fromRecord(info);
        if (info.make.empty()) {
            car.make = folder.make;
            car.model = folder.model;
            car.capacity = folder.capacity;
        }
        if (info.id != connectedId) {
            return {};
        }
    }
    return car;
}

void CCarInfo::setLastCarFile(const std::string& path) const {
    if (prefs_) {
        prefs_->setLastCarFile(path);
    }
}

bool CCarInfo::readCarSettingsFile(const std::string& path, device_info_t& info) {
    const CFileIo::result_t read = CFileIo::readPrefix(path, device_info_t::kSize);
    if (!read.ok()) {
        return false;
    }
    info.fromBytes(read.bytes.data());
    return true;
}

bool CCarInfo::storeCarSettingsFile(const std::string& path, const device_info_t& info,
                                    IPreferences* prefs) {
    const auto image = info.toBytes();
    if (!CAtomicFile::replace(path, image.data(), image.size()).ok()) {
        return false;
    }
    if (prefs) {
        prefs->setLastCarFile(path);
    }
    return true;
}

std::string CCarInfo::carSettingsPath(const std::string& root, const device_info_t& info,
                                      std::time_t now) {
    if (info.make.empty() || info.model.empty() || info.capacity.empty()) {
        return {};
    }
    const car_texts_t car = car_texts_t::fromRecord(info);
    std::string folder = root;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    // An existing folder of the car is used whatever its name (the old program's too).
    folder += CCarInfo(nullptr, folder).carFolder(car.make, car.model, car.capacity);
    std::error_code ignored;  // a missing folder shows up as a failed store
    fs::create_directory(utf8Path(folder), ignored);
    return folder + "/" + settingsFileName(cp1250ToUtf8(info.id), dateText(now));
}

// Cut to the file system's limit on a name, at a character boundary; the folder's car
// is read from its files, so a cut name loses nothing.
std::string CCarInfo::carFolderName(const std::string& make, const std::string& model,
                                    const std::string& capacity) {
    std::string name = safeName(make + "-" + model + "-" + capacity);
    if (name.size() > kMaxNameBytes) {
        std::size_t end = kMaxNameBytes;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
            --end;  // inside a UTF-8 sequence
        }
        name.resize(end);
    }
    return name;
}

std::string CCarInfo::settingsFileName(const std::string& id, const std::string& date) {
    return safeName(id + "-" + date + kExtension);
}

void CCarInfo::splitFolderName(const std::string& folder, std::string& make, std::string& model,
                               std::string& capacity) {
    make.clear();
    model.clear();
    capacity.clear();
    const auto first = folder.find('-');
    if (first == std::string::npos) {
        make = folder;
        return;
    }
    make = folder.substr(0, first);
    const auto second = folder.find('-', first + 1);
    model = folder.substr(first + 1,
                          second == std::string::npos ? std::string::npos : second - first - 1);
    capacity = folder.substr(folder.rfind('-') + 1);
}

// Car texts come from the user and file names from the controller. Separators, NUL and
// control characters become '_', and a name that would be "." or "..", or that starts
// with '.', gets a leading '_', so a name can neither climb out of the library nor
// hide in it. The same mapping serves for look-ups, so listed names find their folders.
std::string CCarInfo::safeName(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || b < 0x20 || b == 0x7F) {
            c = '_';
        }
    }
    if (!safe.empty() && safe.front() == '.') {
        safe.insert(safe.begin(), '_');
    }
    return safe;
}

std::string CCarInfo::timeStampText(std::time_t now) {
    return formatTime("%d-%m-%Y-%H:%M:%S", now);
}

std::string CCarInfo::dateText(std::time_t now) {
    return formatTime("%d-%m-%Y", now);
}
