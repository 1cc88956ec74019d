// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "link/i_serial_line.h"

// Puts another line behind a gate: while held, a read waits until the test releases it,
// so a worker can be caught inside an exchange (its request sent, its reply held back).
class CHeldLine : public ISerialLine {
  public:
    explicit CHeldLine(std::unique_ptr<ISerialLine> inner) : inner_(std::move(inner)) {}

    void hold();
    void release();
    // Reads waiting at the gate now.
    int waiting() const;

    void open(int port) override { inner_->open(port); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void configure() override { inner_->configure(); }
    void setTimeouts(const serial_timeouts_t& timeouts) override { inner_->setTimeouts(timeouts); }
    int read(std::uint8_t* buffer, int n) override;
    int write(const std::uint8_t* buffer, int n) override { return inner_->write(buffer, n); }
    void purgeIn() override { inner_->purgeIn(); }
    void purgeOut() override { inner_->purgeOut(); }
    std::int64_t clockUs() const override { return inner_->clockUs(); }

  private:
    std::unique_ptr<ISerialLine> inner_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
    int waiting_ = 0;
};
