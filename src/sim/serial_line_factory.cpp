// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/serial_line_factory.h"

#include "link/port_names.h"
#include "link/serial_port.h"
#include "link/traced_line.h"
#include "sim/sim_line.h"

namespace {

std::unique_ptr<ISerialLine> serialPortTrying(const std::string& firstPath) {
    CPortNames names;
    if (!firstPath.empty()) {
        names.setFirstPath(firstPath);
    }
    auto port = std::make_unique<CSerialPort>();
    port->setPortNames(names);
    return port;
}

serial_line_t makeUntracedLine(const line_choice_t& choice) {
    serial_line_t made;
    if (choice.kind == line_choice_t::Kind::Serial) {
        made.line = serialPortTrying(choice.firstPath);
        return made;
    }
    made.sim = choice.sim ? choice.sim : std::make_shared<CControllerSim>();
    if (choice.kind == line_choice_t::Kind::SimulatedInProcess) {
        auto line = std::make_unique<CSimLine>(made.sim);
        line->setRealTime(choice.realTime);
        made.line = std::move(line);
        return made;
    }
    made.server = std::make_unique<CPtyServer>(made.sim);
    made.server->setPacing(choice.pacing);
    made.server->start();
    made.line = serialPortTrying(made.server->slavePath());
    return made;
}

}  // namespace

serial_line_t makeSerialLine(const line_choice_t& choice) {
    serial_line_t made = makeUntracedLine(choice);
    if (choice.trace) {
        made.line = std::make_unique<CTracedLine>(std::move(made.line), choice.trace);
    }
    return made;
}
