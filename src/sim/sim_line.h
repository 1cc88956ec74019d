// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>

#include "link/i_serial_line.h"
#include "sim/controller_sim.h"
#include "sim/frame_assembler.h"

// The simulated controller behind the serial-line interface, in the same process. Time
// is the line's own: nothing sleeps; a read that cannot be satisfied moves the line
// clock on by its whole time-out, which is also when a delayed reply becomes visible.
// Paced, bytes take their 38 400-baud time both ways, so a reply can still be arriving
// when the next request goes out. A vanished controller fails like an unplugged adapter.
class CSimLine : public ISerialLine {
  public:
    explicit CSimLine(std::shared_ptr<CControllerSim> sim);

    CControllerSim& sim() { return *sim_; }
    const std::shared_ptr<CControllerSim>& simPtr() const { return sim_; }
    // The controller sits on this port number only; 0 (the default) answers on any.
    void setAnswerPort(int port);
    // Milliseconds that have passed on the line's clock.
    long long elapsedMs() const;
    // Off by default: replies are there at once (after the fault knobs' delay).
    void setPacing(bool on);
    // Paced and in real time: a read returns no sooner than its bytes would have come
    // over the line, as a real controller's would (a demo recording of five seconds holds
    // five seconds of samples).
    void setRealTime(bool on);
    // The number of the last request the controller took, and of the request whose reply
    // the last byte read belongs to (0: none).
    std::size_t lastRequest() const;
    std::size_t lastReplyRead() const;

    void open(int port) override;
    void close() override;
    bool isOpen() const override;
    void configure() override;
    void setTimeouts(const serial_timeouts_t& timeouts) override;
    int read(std::uint8_t* buffer, int n) override;
    int write(const std::uint8_t* buffer, int n) override;
    void purgeIn() override;
    void purgeOut() override;
    std::int64_t clockUs() const override;

  private:
    struct pending_t {
        long long readyUs;
        std::uint8_t byte;
        std::size_t request;  // whose reply the byte belongs to
    };

    void checkUsable(const char* operation, int line) const;

    std::shared_ptr<CControllerSim> sim_;
    mutable std::mutex mutex_;
    CFrameAssembler receiver_;
    std::deque<pending_t> incoming_;
    serial_timeouts_t timeouts_;
    long long nowUs_ = 0;
    long long lineOutUs_ = 0;  // when the request bytes written so far reach the controller
    bool pacing_ = false;
    bool realTime_ = false;
    std::chrono::steady_clock::time_point realStart_;
    std::size_t lastRequest_ = 0;
    std::size_t lastReplyRead_ = 0;
    int answerPort_ = 0;
    bool open_ = false;
};
