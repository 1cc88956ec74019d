// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "link/i_serial_line.h"

// Puts a car with a wiring fault behind another line: every diagnostic reply passes a
// function that may change its payload (line order) before the check word is made
// again, e.g. an injector signal read upside down or a temperature sensor not connected;
// or may keep the reply back, as a controller that does not answer. Everything else
// passes unchanged.
class CDiagTamperLine : public ISerialLine {
  public:
    // `injector` is the 1-based injector the reply answers; false keeps the reply back.
    using Tamper = std::function<bool(int injector, std::uint8_t* payload)>;

    CDiagTamperLine(std::unique_ptr<ISerialLine> inner, Tamper tamper)
        : inner_(std::move(inner)), tamper_(std::move(tamper)) {}

    void open(int port) override { inner_->open(port); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void configure() override { inner_->configure(); }
    void setTimeouts(const serial_timeouts_t& timeouts) override { inner_->setTimeouts(timeouts); }
    int read(std::uint8_t* buffer, int n) override;
    int write(const std::uint8_t* buffer, int n) override;
    void purgeIn() override;
    void purgeOut() override { inner_->purgeOut(); }
    std::int64_t clockUs() const override { return inner_->clockUs(); }

  private:
    // Reads the whole reply to a diagnostic request, changed, into ready_.
    void takeReply();

    std::unique_ptr<ISerialLine> inner_;
    Tamper tamper_;
    std::mutex mutex_;
    std::vector<std::uint8_t> written_;  // the request written so far
    int injector_ = 0;                   // the diagnostic request waiting for its reply; 0 for none
    std::deque<std::uint8_t> ready_;
};
