// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/car_settings_search.h"

#include <charconv>

#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/cp1250.h"

namespace {

// "%.1f" with a decimal point whatever the process locale.
std::string oneDecimal(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

}  // namespace

std::vector<car_settings_row_t> CCarSettingsSearch::find(const CCarInfo& library,
                                                         const std::string& make,
                                                         const std::string& model,
                                                         const std::string& capacity,
                                                         const std::string& connectedId) {
    std::vector<car_settings_row_t> rows;
    const std::string folder =
        library.carSettingsRoot() + library.carFolder(make, model, capacity) + "/";
    int index = 0;
    for (const std::string& name : library.listSettingsFiles(make, model, capacity)) {
        device_info_t info{};
        if (CCarInfo::readCarSettingsFile(folder + name, info)) {
            rows.push_back(rowOf(info, index, connectedId));
            rows.back().path = folder + name;
        }
        ++index;
    }
    return rows;
}

car_settings_row_t CCarSettingsSearch::rowOf(const device_info_t& info, int index,
                                             const std::string& connectedId) {
    car_settings_row_t row;
    row.index = index;
    auto& c = row.columns;
    c[car_settings_row_t::DATE] = cp1250ToUtf8(info.timeStamp);
    c[car_settings_row_t::YEAR] = cp1250ToUtf8(info.year);
    c[car_settings_row_t::POWER] = cp1250ToUtf8(info.power);
    c[car_settings_row_t::INJECTORS] = cp1250ToUtf8(info.injectorsFitted);
    c[car_settings_row_t::CALIBRATED] = cp1250ToUtf8(info.calibratedFor);
    c[car_settings_row_t::REDUCER] = oneDecimal(info.reducerPressure);
    c[car_settings_row_t::ID] = cp1250ToUtf8(info.id);
    c[car_settings_row_t::VERSION] = std::to_string(info.version);
    c[car_settings_row_t::NOTES] = cp1250ToUtf8(info.notes);
    row.connected = !connectedId.empty() && c[car_settings_row_t::ID] == connectedId;
    return row;
}

std::string CCarSettingsSearch::resultPath(const std::string& root, const std::string& make,
                                           const std::string& model, const std::string& capacity,
                                           const car_settings_row_t& row) {
    if (!row.path.empty()) {
        return row.path;  // the file that was listed, whatever its name
    }
    std::string folder = root;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    const std::string date = row.columns[car_settings_row_t::DATE].substr(0, 10);
    return folder + CCarInfo::carFolderName(make, model, capacity) + "/" +
           CCarInfo::settingsFileName(row.columns[car_settings_row_t::ID], date);
}
