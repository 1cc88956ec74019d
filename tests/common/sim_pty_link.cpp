// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_pty_link.h"

#include "sim/serial_line_factory.h"

CSimPtyLink::CSimPtyLink(bool pacing, std::uint32_t seed)
    : sim_(std::make_shared<CControllerSim>(seed)) {
    line_choice_t choice;
    choice.kind = line_choice_t::Kind::SimulatedOnPty;
    choice.pacing = pacing;
    choice.sim = sim_;
    serial_line_t made = makeSerialLine(choice);
    server_ = std::move(made.server);
    device_ = std::make_unique<CLPGDevice>(ui_, std::move(made.line));
}

CSimPtyLink::~CSimPtyLink() {
    // The port closes before the terminal goes, as an unplugged adapter never would.
    device_->disconnect();
    server_->stop();
}
