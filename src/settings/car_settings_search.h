// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <vector>

class CCarInfo;
struct device_info_t;

// One stored settings file as the car settings chooser lists it (UTF-8 texts).
struct car_settings_row_t {
    enum Column { DATE, YEAR, POWER, INJECTORS, CALIBRATED, REDUCER, ID, VERSION, NOTES, COLUMNS };

    std::array<std::string, COLUMNS> columns;
    // The file's place among the folder's files; a file that cannot be read still takes
    // its place, so the alternating colours follow the folder.
    int index = 0;
    // Written for the controller that is connected now.
    bool connected = false;
    // The file the row was read from.
    std::string path;
};

// "Znajdź" of the car settings chooser: the readable settings files of one car, and the
// path a chosen row names.
class CCarSettingsSearch {
  public:
    // `connectedId` is the connected controller's identification (UTF-8).
    static std::vector<car_settings_row_t> find(const CCarInfo& library, const std::string& make,
                                                const std::string& model,
                                                const std::string& capacity,
                                                const std::string& connectedId);
    static car_settings_row_t rowOf(const device_info_t& info, int index,
                                    const std::string& connectedId);
    // The file of a row: the one it was read from, else named again from the car, the
    // row's controller and the date of its time stamp, as the settings store names it.
    static std::string resultPath(const std::string& root, const std::string& make,
                                  const std::string& model, const std::string& capacity,
                                  const car_settings_row_t& row);
};
