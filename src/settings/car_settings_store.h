// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "link/i_car_settings_store.h"

class IPreferences;

// Files every setup written to a controller in the car settings library, under
// make-model-capacity, as <controller id>-<date>.settings (one file a day; the one it
// replaces goes to the car's history folder). The file is written beside its place
// first and put there only on commit, so a write the controller never acknowledged
// leaves the library untouched.
class CCarSettingsStore : public ICarSettingsStore {
  public:
    // An empty root means the program's library root.
    explicit CCarSettingsStore(IPreferences* prefs, std::string root = {});

    std::unique_ptr<IPending> prepare(const device_info_t& info, std::string& problem) override;
    // Prepare and commit at once; false when either failed.
    bool store(const device_info_t& info);
    // The file the last successful commit wrote; empty before the first.
    const std::string& lastPath() const { return lastPath_; }

  private:
    class CPending;

    IPreferences* prefs_;
    std::string root_;
    std::string lastPath_;
};
