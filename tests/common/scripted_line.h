// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "frames.h"
#include "link/i_serial_line.h"

// A serial line whose answers are scripted: each complete request frame written is
// recorded and answered by the next scripted reply (or by a responder function).
// A read returns at once with what is queued, as a time-out would.
class CScriptedLine : public ISerialLine {
  public:
    using Responder = std::function<bytes_t(const bytes_t& request)>;

    void open(int port) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void configure() override {}
    void setTimeouts(const serial_timeouts_t& timeouts) override { timeouts_ = timeouts; }
    int read(std::uint8_t* buffer, int n) override;
    int write(const std::uint8_t* buffer, int n) override;
    void purgeIn() override { incoming_.clear(); }
    void purgeOut() override {}

    // Queues a reply for the next request.
    void script(bytes_t reply) { replies_.push_back(std::move(reply)); }
    // Bytes that are already waiting before any request.
    void inject(const bytes_t& bytes) {
        incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    }
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    // Raise CRSError code 6 on the next read (a pulled adapter).
    void failNextRead() { failRead_ = true; }
    // Ports whose open fails like a missing device.
    std::vector<int> missingPorts;

    std::vector<bytes_t> requests;
    std::vector<int> opened;
    serial_timeouts_t timeouts_;

  private:
    void takeRequest();

    bool open_ = false;
    bool failRead_ = false;
    bytes_t pending_;
    std::deque<std::uint8_t> incoming_;
    std::deque<bytes_t> replies_;
    Responder responder_;
};
