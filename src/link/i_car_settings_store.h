#pragma once

#include "link/device_info.h"

// Files the device information record in the car settings library before settings
// are written to the controller.
class ICarSettingsStore {
  public:
    virtual ~ICarSettingsStore() = default;
    // True when the record was stored, or when it names no car (nothing to store).
    virtual bool store(const device_info_t& info) = 0;
};
