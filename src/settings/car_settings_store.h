#pragma once

#include <string>

#include "link/i_car_settings_store.h"

class IPreferences;

// Files every setup written to a controller in the car settings library, under
// make-model-capacity, as <controller id>-<date>.settings (one file a day; the one it
// replaces goes to the car's history folder).
class CCarSettingsStore : public ICarSettingsStore {
  public:
    // An empty root means the program's library root.
    explicit CCarSettingsStore(IPreferences* prefs, std::string root = {});

    bool store(const device_info_t& info) override;
    // The file the last successful store wrote; empty before the first.
    const std::string& lastPath() const { return lastPath_; }

  private:
    IPreferences* prefs_;
    std::string root_;
    std::string lastPath_;
};
