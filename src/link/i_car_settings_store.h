// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "link/device_info.h"

// Files the device information record in the car settings library. A settings write
// prepares the file before it sends anything (so a file problem stops the write) and
// commits it only once the controller has acknowledged the record.
class ICarSettingsStore {
  public:
    // How a commit ended. `filed` false: the library does not hold the record and was
    // left as it was. `problem` says why, or what went wrong beside (a history folder
    // that could not be made); empty when all went well.
    struct commit_t {
        bool filed = true;
        std::string problem;
        // No car was named (the service unlock): nothing was filed, and nothing failed.
        bool noCar = false;
    };

    // A prepared file: committing puts it in place; dropping it uncommitted leaves the
    // library as it was.
    class IPending {
      public:
        virtual ~IPending() = default;
        virtual commit_t commit() = 0;
    };

    // Why a write under the service unlock with no car named is not filed.
    static constexpr const char* kNoCarText =
        "Ustawień nie zapisano w bibliotece samochodów: nie podano danych samochodu.";

    virtual ~ICarSettingsStore() = default;
    // Writes the record aside. Null with `problem` set when that fails; a pending file
    // that files nothing when the record names no car.
    virtual std::unique_ptr<IPending> prepare(const device_info_t& info, std::string& problem) = 0;
};
