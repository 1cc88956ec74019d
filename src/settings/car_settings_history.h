// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "link/device_info.h"
#include "settings/settings_compare.h"

// One stored settings file of a car, with what changed since the entry before it.
struct car_settings_entry_t {
    std::string path;
    // "dd-mm-yyyy HH:MM:SS": the time of the store (only the date for a file of the day
    // whose own time is not of that day).
    std::string when;
    bool replaced = false;
    bool readable = false;
    device_info_t info;
    // Against the last readable entry before this one; empty for the first.
    std::vector<setting_change_t> changes;
};

// The settings history of a car folder. A store on a day that already has a file
// moves that file first into the subfolder "Historia" as <ID>-<date>-HHMMSS.settings
// (the time of its own store), so every store of a day can be traced back.
class CCarSettingsHistory {
  public:
    static constexpr const char* kFolder = "Historia";

    // Before `path` is replaced: moves the file there, if any, into the history
    // folder beside it. False when it is there and could not be moved.
    static bool keepReplaced(const std::string& path);
    // The same, giving the path it was moved to ("" when there was nothing to move), or
    // false with `error` (errno) when it could not be moved.
    static bool moveReplaced(const std::string& path, std::string& movedTo, int& error);
    // Every settings file of the car folder and its history, oldest first.
    static std::vector<car_settings_entry_t> list(const std::string& carFolder);
};
