// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "link/i_serial_line.h"
#include "support/wire_trace.h"

// A serial line that writes a wire trace of another: every frame sent and received, the
// bytes that are no whole frame, and the port's open, close, time-out and purge events.
// Only a traced session has one, so an untraced line pays nothing.
class CTracedLine : public ISerialLine {
  public:
    CTracedLine(std::unique_ptr<ISerialLine> inner, std::shared_ptr<CWireTrace> trace);
    ~CTracedLine() override;

    // The line beneath a trace, or `line` itself when it is not traced.
    static ISerialLine& untraced(ISerialLine& line);
    ISerialLine& inner() { return *inner_; }

    void open(int port) override;
    int searchPorts() override { return inner_->searchPorts(); }
    std::string portName(int port) const override { return inner_->portName(port); }
    void close() override;
    bool isOpen() const override { return inner_->isOpen(); }
    void configure() override { inner_->configure(); }
    void setTimeouts(const serial_timeouts_t& timeouts) override;
    int read(std::uint8_t* buffer, int n) override;
    int write(const std::uint8_t* buffer, int n) override;
    void purgeIn() override;
    void purgeOut() override;
    std::int64_t clockUs() const override;

  private:
    // Cuts one direction's bytes into frames for the trace.
    struct cutter_t {
        CWireTrace::Direction direction;
        std::vector<std::uint8_t> pending;
    };
    void feed(cutter_t& cutter, const std::uint8_t* data, int size);
    void flush(cutter_t& cutter);

    std::unique_ptr<ISerialLine> inner_;
    std::shared_ptr<CWireTrace> trace_;
    cutter_t sent_{CWireTrace::Direction::Sent, {}};
    cutter_t received_{CWireTrace::Direction::Received, {}};
};
