// SPDX-License-Identifier: GPL-3.0-or-later
#include "connected_sim.h"

#include "link/protocol.h"

namespace {

CConnectedSim::options_t withPreset(CConnectedSim::Preset preset) {
    CConnectedSim::options_t options;
    options.preset = preset;
    return options;
}

}  // namespace

CConnectedSim::CConnectedSim(Preset preset) : CConnectedSim(withPreset(preset)) {}

CConnectedSim::CConnectedSim(options_t options)
    : sim_(std::make_shared<CControllerSim>(options.seed)) {
    applyPreset(*sim_, options.preset);
    if (options.prepare) {
        options.prepare(*sim_);
    }
    auto simLine = std::make_unique<CSimLine>(sim_);
    line_ = simLine.get();
    line_->setPacing(options.pacing);
    std::unique_ptr<ISerialLine> line = std::move(simLine);
    if (options.wrap) {
        line = options.wrap(std::move(line));
    }
    device_ = options.makeDevice ? options.makeDevice(std::move(line))
                                 : std::make_unique<CLPGDevice>(ui_, std::move(line));
    // The pause a real controller needs after a mode switch costs real time here.
    device_->setWorkModePause(std::chrono::milliseconds(0));
    if (options.start == Start::Connected) {
        connect();
    } else if (options.start == Start::Open) {
        device_->line().open(1);
    }
}

void CConnectedSim::applyPreset(CControllerSim& sim, Preset preset) {
    CSimFaults& faults = sim.faults();
    switch (preset) {
        case Preset::Clean:
            break;
        case Preset::Lossy:
            faults.setDropProbability(kLossyDrop);
            break;
        case Preset::Late:
            faults.setReplyDelay(kLateDelay);
            break;
        case Preset::Silent:
            faults.setDropProbability(1.0);
            break;
        case Preset::Refusing:
            for (const std::uint8_t type : {proto::MSG_TYPE_SETUP, proto::MSG_TYPE_EEPROM,
                                            proto::MSG_TYPE_TABLE, proto::MSG_TYPE_FUEL_SENSOR}) {
                sim.refuseWrites(type);
            }
            break;
    }
}

const char* CConnectedSim::name(Preset preset) {
    switch (preset) {
        case Preset::Clean:
            return "clean";
        case Preset::Lossy:
            return "lossy";
        case Preset::Late:
            return "late";
        case Preset::Silent:
            return "silent";
        case Preset::Refusing:
            return "refusing";
    }
    return "?";
}
