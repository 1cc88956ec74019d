// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// Read time-outs of the line: a read of n bytes returns once n bytes have arrived or
// after constantMs + n * perByteMs, whichever comes first.
struct serial_timeouts_t {
    int constantMs = 500;
    int perByteMs = 1;
    // After a failed exchange the line is read on until it has been quiet this long, so a
    // reply still arriving cannot answer the next request.
    int quietMs = 20;
};

// The byte line to the controller: the real serial port, the in-process simulated
// controller, or a test double. Operating-system failures raise CRSError.
class ISerialLine {
  public:
    virtual ~ISerialLine() = default;

    virtual void open(int port) = 0;
    // Looks for the ports a search tries: 1 to 4, and on a real serial line the USB
    // adapters found beyond those (as ports 5, 6, …). Returns the last port to try.
    virtual int searchPorts() { return 4; }
    // How a message names port `port` ("/dev/ttyUSB0" on a real serial line).
    virtual std::string portName(int port) const { return "port " + std::to_string(port); }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Applies the controller's line settings (38400 8N1, raw, no flow control).
    virtual void configure() = 0;
    virtual void setTimeouts(const serial_timeouts_t& timeouts) = 0;
    // Returns the count actually read; fewer than n means the time-out expired.
    virtual int read(std::uint8_t* buffer, int n) = 0;
    virtual int write(const std::uint8_t* buffer, int n) = 0;
    virtual void purgeIn() = 0;
    virtual void purgeOut() = 0;
    // The line's clock in microseconds: how long replies take is measured on it (the
    // simulated line keeps its own time).
    virtual std::int64_t clockUs() const {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};
