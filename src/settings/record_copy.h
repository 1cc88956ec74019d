// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

struct device_info_t;

// How the settings editor puts another record in place of the document's one. A car
// settings file or the factory defaults bring settings, time-correction table, notes and
// time stamp, but the record keeps what belongs to the connected controller and this
// car: version, identification, injector count, car information, reducer pressure and
// the controller's clock record.
class CRecordCopy {
  public:
    enum class Result { Loaded, ReadFailed, OtherVersion };

    static constexpr const char* kReadFailedText = "Nie można wczytać ustawień z pliku";
    static constexpr const char* kOtherVersionText =
        "Nie można użyć pliku, ponieważ został utworzony inną wersją aplikacji.";

    // Everything of `source` except the controller's and the car's own part.
    static void replaceSettings(device_info_t& target, const device_info_t& source);
    // A car settings file's record in place of `target`'s: its settings, and its car texts
    // too while the car has not been described since start-up.
    static void takeFile(device_info_t& target, const device_info_t& file, bool carInfoGiven);
    // A car settings file: its settings, and its car texts too while the car has not been
    // described since start-up. The record is unchanged unless the result is Loaded.
    static Result loadFile(const std::string& path, device_info_t& target, bool carInfoGiven);
    // The factory defaults in place of the settings.
    static void restoreFactory(device_info_t& target);
    // The message for a failed load, empty for Loaded.
    static const char* text(Result result);
};
