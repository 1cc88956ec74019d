// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "link/i_serial_line.h"
#include "sim/controller_sim.h"
#include "sim/pty_server.h"
#include "support/wire_trace.h"

// Where the controller is: a serial device, or a simulated controller either in this
// process (nothing sleeps; for tests) or on a pseudo-terminal served by a thread of this
// process (the real termios code at 38 400 baud; for `--simulate`, benchmarks and the
// end-to-end tests).
struct line_choice_t {
    enum class Kind { Serial, SimulatedInProcess, SimulatedOnPty };

    Kind kind = Kind::Serial;
    std::string firstPath;                // a serial device to try before the port pattern
    bool pacing = true;                   // the pseudo-terminal keeps to 38 400 baud
    bool realTime = false;                // so does the in-process line, in real time
    std::shared_ptr<CControllerSim> sim;  // the controller to simulate; a new one if empty
    std::shared_ptr<CWireTrace> trace;    // when set, the line writes a wire trace into it
};

// The line and what must outlive it. Destroy the line before the server.
struct serial_line_t {
    std::shared_ptr<CControllerSim> sim;  // set for the simulated kinds
    std::unique_ptr<CPtyServer> server;   // set for a pseudo-terminal
    std::unique_ptr<ISerialLine> line;
};

// Raises CRSError when the pseudo-terminal cannot be made.
serial_line_t makeSerialLine(const line_choice_t& choice);
