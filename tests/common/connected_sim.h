// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "link/lpg_device.h"
#include "recording_device_ui.h"
#include "sim/controller_sim.h"
#include "sim/sim_line.h"

// The simulated controller on its in-process line and a controller connection to it, as
// most tests want them: nothing waits for real time (the line keeps its own clock and the
// work-mode pause is off), and the controller misbehaves in one of a few named ways made
// of its own fault knobs, so tests of the same trouble set it up the same way.
class CConnectedSim {
  public:
    enum class Preset {
        Clean,     // answers everything at once
        Lossy,     // loses a share of its replies; the device's retries get most through
        Late,      // answers every request after the device's first read has given up
        Silent,    // answers nothing
        Refusing,  // answers every record write (settings, EEPROM, table, fuel) with a failure
    };
    // How the connection starts: connected (identified), only the line open, or closed.
    enum class Start { Connected, Open, Closed };

    // Share of replies a Lossy controller loses.
    static constexpr double kLossyDrop = 0.3;
    // How late a Late controller answers: longer than the line's 500 ms read time-out.
    static constexpr std::chrono::milliseconds kLateDelay{600};

    using LineWrap = std::function<std::unique_ptr<ISerialLine>(std::unique_ptr<ISerialLine>)>;
    using DeviceMaker = std::function<std::unique_ptr<CLPGDevice>(std::unique_ptr<ISerialLine>)>;

    struct options_t {
        Preset preset = Preset::Clean;
        std::uint32_t seed = 1;
        // Bytes take their 38 400-baud time, on the line's clock.
        bool pacing = false;
        Start start = Start::Connected;
        // Runs on the controller before the device exists (an engine, settings, a fault).
        std::function<void(CControllerSim&)> prepare;
        // Puts another line in front of the simulated one (a gate, a tampering car).
        LineWrap wrap;
        // Makes the device on the line; without it a CLPGDevice reporting to ui().
        DeviceMaker makeDevice;
    };

    explicit CConnectedSim(Preset preset = Preset::Clean);
    explicit CConnectedSim(options_t options);
    CConnectedSim(const CConnectedSim&) = delete;
    CConnectedSim& operator=(const CConnectedSim&) = delete;

    // Turns the controller's fault knobs to the preset's settings.
    static void applyPreset(CControllerSim& sim, Preset preset);
    static const char* name(Preset preset);

    // Connects on port 1, where the simulated controller answers.
    bool connect() { return device_->connect(1); }

    CControllerSim& sim() { return *sim_; }
    const std::shared_ptr<CControllerSim>& simPtr() const { return sim_; }
    // The simulated line itself, behind any wrap.
    CSimLine& line() { return *line_; }
    CLPGDevice& device() { return *device_; }
    CRecordingDeviceUi& ui() { return ui_; }

  private:
    CRecordingDeviceUi ui_;
    std::shared_ptr<CControllerSim> sim_;
    CSimLine* line_ = nullptr;
    std::unique_ptr<CLPGDevice> device_;
};
