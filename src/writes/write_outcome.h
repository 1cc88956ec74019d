// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "link/dev_setup.h"
#include "link/i_device_ui.h"

// How a write ended: settings, map, table, fuel-sensor thresholds or an EEPROM restore.
// Converts to true only when the controller acknowledged (and, for a transfer, holds)
// everything. Nothing is shown by the write itself: the front end tells the user.
struct write_outcome_t {
    enum class Status {
        Written,        // acknowledged (and filed, unless `filed` says otherwise)
        Refused,        // nothing sent: the values, the car, the version or the file
        NotAnswered,    // sent, never acknowledged; the controller holds what it held
        Incomplete,     // a transfer ended part-way: `held` says what the controller holds
        NotSwitchedOn,  // the data is in the controller, the settings switching it on are not
    };
    // Why nothing was sent.
    enum class Refusal { None, Check, CarInfo, Version, File, Unread };
    enum class Severity { None, Warning, Error };

    Status status = Status::NotAnswered;
    Refusal refusal = Refusal::None;
    // The car library holds the written record.
    bool filed = false;
    // Not filed because no car was named (the service unlock): nothing failed.
    bool noCar = false;
    // Why it was refused, not answered, incomplete or not filed; empty otherwise. Its last
    // line is the technical detail.
    std::string problem;
    Severity severity = Severity::None;
    // What the controller holds after an incomplete transfer.
    std::string held;
    // The port failed during the write: it can be tried again only after a reconnect.
    bool portLost = false;
    // Written, but the controller did not take the restart that makes it use the new
    // function: it will after the ignition is switched off and on.
    bool restartPending = false;
    // When the controller acknowledged the write ("HH:MM:SS").
    std::string when;
    // The settings as the controller stores them after an acknowledged settings write,
    // which may differ from what was typed (2.7 s of delay is stored as 2.5 s).
    dev_setup_t stored;
    // One line per field stored otherwise than typed: "…: sterownik zapisał 2,5 s zamiast 2,7 s".
    std::vector<std::string> adjusted;

    explicit operator bool() const { return status == Status::Written; }
    bool refused() const { return status == Status::Refused; }
    // Something reached the controller and the user should be told what it holds now.
    bool partial() const { return status == Status::Incomplete || status == Status::NotSwitchedOn; }
    // The outcome has something to tell (a write not filed because no car was named has not).
    bool tells() const { return !problem.empty() && !noCar; }
    IDeviceUi::Icon icon() const {
        switch (severity) {
            case Severity::Warning:
                return IDeviceUi::Icon::Warning;
            case Severity::Error:
                return IDeviceUi::Icon::Error;
            case Severity::None:
                break;
        }
        return IDeviceUi::Icon::None;
    }
};

// The settings write's outcome is the same kind.
using setup_write_t = write_outcome_t;
