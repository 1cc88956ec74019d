#include "settings/car_settings_store.h"

#include <ctime>

#include "settings/car_info.h"
#include "settings/car_settings_history.h"
#include "settings/program_folders.h"

CCarSettingsStore::CCarSettingsStore(IPreferences* prefs, std::string root)
    : prefs_(prefs), root_(std::move(root)) {}

bool CCarSettingsStore::store(const device_info_t& info) {
    const std::string root = root_.empty() ? CProgramFolders::carSettingsRoot() : root_;
    const std::string path = CCarInfo::carSettingsPath(root, info, std::time(nullptr));
    if (path.empty()) {
        return true;  // no car named (service unlock): nothing to file
    }
    // The day's earlier file goes to the history first; kept or not, nothing is lost.
    if (!CCarSettingsHistory::keepReplaced(path) ||
        !CCarInfo::storeCarSettingsFile(path, info, prefs_)) {
        return false;
    }
    lastPath_ = path;
    return true;
}
