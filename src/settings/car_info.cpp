#include "settings/car_info.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "link/device_info.h"
#include "settings/cp1250.h"
#include "settings/i_preferences.h"
#include "settings/program_folders.h"
#include "support/atomic_file.h"
#include "support/utf8_path.h"

namespace fs = std::filesystem;

namespace {

const char* const kExtension = ".settings";

std::vector<std::string> sortedUnique(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string formatTime(const char* pattern, std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
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

std::vector<std::string> CCarInfo::subfolders() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(utf8Path(carSettingsRoot()), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            names.push_back(utf8Text(it->path().filename()));
        }
    }
    return names;
}

std::vector<std::string> CCarInfo::listMakes() const {
    std::vector<std::string> makes;
    for (const std::string& folder : subfolders()) {
        std::string make, model, capacity;
        splitFolderName(folder, make, model, capacity);
        makes.push_back(make);
    }
    return sortedUnique(std::move(makes));
}

std::vector<std::string> CCarInfo::listModels(const std::string& make) const {
    const std::string prefix = safeName(make + "-");
    std::vector<std::string> models;
    for (const std::string& folder : subfolders()) {
        if (startsWith(folder, prefix)) {
            std::string m, model, capacity;
            splitFolderName(folder, m, model, capacity);
            models.push_back(model);
        }
    }
    return sortedUnique(std::move(models));
}

std::vector<std::string> CCarInfo::listCapacities(const std::string& make,
                                                  const std::string& model) const {
    const std::string prefix = safeName(make + "-" + model + "-");
    std::vector<std::string> capacities;
    for (const std::string& folder : subfolders()) {
        if (startsWith(folder, prefix)) {
            std::string m, md, capacity;
            splitFolderName(folder, m, md, capacity);
            capacities.push_back(capacity);
        }
    }
    return sortedUnique(std::move(capacities));
}

std::vector<std::string> CCarInfo::listSettingsFiles(const std::string& make,
                                                     const std::string& model,
                                                     const std::string& capacity) const {
    std::vector<std::string> files;
    std::error_code ec;
    const std::string folder = carSettingsRoot() + carFolderName(make, model, capacity);
    for (fs::directory_iterator it(utf8Path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        const std::string name = utf8Text(it->path().filename());
        if (!it->is_directory(typeError) && endsWith(name, kExtension)) {
            files.push_back(name);
        }
    }
    return sortedUnique(std::move(files));
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
        const car_texts_t stored = car_texts_t::fromRecord(info);
        car.power = stored.power;
        car.year = stored.year;
        car.injectorsFitted = stored.injectorsFitted;
        car.calibratedFor = stored.calibratedFor;
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
    folder += carFolderName(car.make, car.model, car.capacity);
    std::error_code ignored;  // a missing folder shows up as a failed store
    fs::create_directory(utf8Path(folder), ignored);
    return folder + "/" + settingsFileName(cp1250ToUtf8(info.id), dateText(now));
}

std::string CCarInfo::carFolderName(const std::string& make, const std::string& model,
                                    const std::string& capacity) {
    return safeName(make + "-" + model + "-" + capacity);
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
