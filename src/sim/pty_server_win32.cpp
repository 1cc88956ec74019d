// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_server.h"

#include "support/i_error.h"

// Windows has no pseudo-terminals: the simulated controller runs in-process there, or
// on Linux behind a COM port that Wine maps to a vapron-sim terminal.

CPtyServer::CPtyServer(std::shared_ptr<CControllerSim> sim) : sim_(std::move(sim)) {}

CPtyServer::~CPtyServer() = default;

void CPtyServer::start() {
    VAPRON_RAISE(IError::ERR_SYSTEM,
                 "Symulowany sterownik na pseudoterminalu działa tylko w Linuksie: w Windows "
                 "użyj symulacji w programie.\nCPtyServer::start(): brak pseudoterminali");
}

void CPtyServer::stop() {}

CPtyServer::Clock::duration CPtyServer::byteTime() {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte / kBaud));
}
