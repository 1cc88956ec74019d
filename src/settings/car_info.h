// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "settings/car_texts.h"

struct device_info_t;
class IPreferences;

// The library of car settings files: one folder per car named make-model-capacity
// under the library root, holding files named <controller id>-<dd-mm-yyyy>.settings.
// Holds no state of its own; every operation reads the disk afresh. Texts passed in
// and returned are UTF-8; lists are sorted with equal neighbours reduced to one.
class CCarInfo {
  public:
    // An empty root means the program's library root, created on every use.
    explicit CCarInfo(IPreferences* prefs = nullptr, std::string root = {});

    // With a trailing '/'.
    std::string carSettingsRoot() const;
    std::vector<std::string> listMakes() const;
    std::vector<std::string> listModels(const std::string& make) const;
    std::vector<std::string> listCapacities(const std::string& make,
                                            const std::string& model) const;
    // File names only.
    std::vector<std::string> listSettingsFiles(const std::string& make, const std::string& model,
                                               const std::string& capacity) const;
    // The folder (name only) that holds this car: the one whose files name it, else the
    // name built from the texts.
    std::string carFolder(const std::string& make, const std::string& model,
                          const std::string& capacity) const;
    // The car of a folder as its files name it; split from the folder's name only when
    // no file in it can be read (names may hold '-' themselves: "Mercedes-Benz").
    static car_texts_t folderCar(const std::string& folderPath);
    // The car of the last stored file, or what of it can be found; all empty when that
    // file belongs to a controller other than `connectedId` (record bytes).
    car_texts_t readLastCarInfo(const std::string& connectedId) const;
    void setLastCarFile(const std::string& path) const;
    // The car the library holds under this make and model when it holds exactly one
    // (one capacity folder): its texts from the newest readable file there, the capacity
    // from the folder. Empty when there is none, several, or no file can be read.
    std::optional<car_texts_t> onlyCar(const std::string& make, const std::string& model) const;

    // True only when a whole record was read; a longer file is accepted.
    static bool readCarSettingsFile(const std::string& path, device_info_t& info);
    // Replaces the file atomically; on success remembers it as the last car file.
    static bool storeCarSettingsFile(const std::string& path, const device_info_t& info,
                                     IPreferences* prefs);
    // root + car folder (created) + "/" + file name for a store at `now`; empty when the
    // record lacks make, model or capacity.
    static std::string carSettingsPath(const std::string& root, const device_info_t& info,
                                       std::time_t now);

    static std::string carFolderName(const std::string& make, const std::string& model,
                                     const std::string& capacity);
    static std::string settingsFileName(const std::string& id, const std::string& date);
    // Make before the first '-', model between the first and second, capacity after the
    // last; a missing part is empty.
    static void splitFolderName(const std::string& folder, std::string& make, std::string& model,
                                std::string& capacity);
    // A single path component that stays inside its folder.
    static std::string safeName(const std::string& name);
    // Local time as "%d-%m-%Y-%H:%M:%S" (the record's time stamp) and "%d-%m-%Y".
    static std::string timeStampText(std::time_t now);
    static std::string dateText(std::time_t now);

    // The file system's limit on one name, in bytes.
    static constexpr std::size_t kMaxNameBytes = 255;

  private:
    struct folder_t {
        std::string name;
        car_texts_t car;
    };
    std::vector<folder_t> carFolders() const;

    IPreferences* prefs_;
    std::string root_;
};
