// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_line.h"

#include <thread>

#include <algorithm>
#include <cerrno>
#include <string>

#include "link/serial_errors.h"
#include "support/rs_error.h"

namespace {

// Failures read as those of a serial port, so the code above cannot tell the difference.
[[noreturn]] void raiseLine(unsigned code, const std::string& operation, int err, int line) {
    throw new CRSError(code, serial_errors::message(operation, "symulator", err, {}), line,
                       __FILE__);
}

// 10 bits a byte at 38 400 baud.
constexpr long long kByteUs = 10LL * 1'000'000 / 38400;

}  // namespace

CSimLine::CSimLine(std::shared_ptr<CControllerSim> sim) : sim_(std::move(sim)) {}

void CSimLine::setAnswerPort(int port) {
    std::lock_guard lock(mutex_);
    answerPort_ = port;
}

long long CSimLine::elapsedMs() const {
    std::lock_guard lock(mutex_);
    return nowUs_ / 1000;
}

void CSimLine::setPacing(bool on) {
    std::lock_guard lock(mutex_);
    pacing_ = on;
}

void CSimLine::setRealTime(bool on) {
    std::lock_guard lock(mutex_);
    pacing_ = pacing_ || on;
    realTime_ = on;
    realStart_ = std::chrono::steady_clock::now() - std::chrono::microseconds(nowUs_);
}

std::size_t CSimLine::lastRequest() const {
    std::lock_guard lock(mutex_);
    return lastRequest_;
}

std::size_t CSimLine::lastReplyRead() const {
    std::lock_guard lock(mutex_);
    return lastReplyRead_;
}

void CSimLine::open(int port) {
    std::lock_guard lock(mutex_);
    if (sim_->faults().vanished() || (answerPort_ != 0 && port != answerPort_)) {
        raiseLine(CRSError::ERR_RS_OPEN, "open(" + std::to_string(port) + ")",
                  serial_errors::kNoDevice, __LINE__);
    }
    open_ = true;
}

void CSimLine::close() {
    std::lock_guard lock(mutex_);
    open_ = false;
}

bool CSimLine::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void CSimLine::checkUsable(const char* operation, int line) const {
    if (!open_) {
        raiseLine(CRSError::ERR_RS_OPERATION, operation, serial_errors::kNotOpen, line);
    }
    if (sim_->faults().vanished()) {
        raiseLine(CRSError::ERR_RS_OPERATION, operation, serial_errors::kDeviceGone, line);
    }
}

void CSimLine::configure() {
    std::lock_guard lock(mutex_);
    checkUsable("setState()", __LINE__);
}

void CSimLine::setTimeouts(const serial_timeouts_t& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
}

int CSimLine::read(std::uint8_t* buffer, int n) {
    std::unique_lock lock(mutex_);
    checkUsable("read()", __LINE__);
    const long long deadline =
        nowUs_ + 1000LL * (timeouts_.constantMs + 1LL * n * timeouts_.perByteMs);
    long long lastUs = nowUs_;
    int got = 0;
    while (got < n && !incoming_.empty() && incoming_.front().readyUs <= deadline) {
        lastUs = std::max(lastUs, incoming_.front().readyUs);
        lastReplyRead_ = incoming_.front().request;
        buffer[got++] = incoming_.front().byte;
        incoming_.pop_front();
    }
    if (got < n) {
        nowUs_ = deadline;
        receiver_.reset();  // the controller drops a frame the line left half-sent
    } else {
        nowUs_ = lastUs;
    }
    if (realTime_) {
        const auto due = realStart_ + std::chrono::microseconds(nowUs_);
        lock.unlock();
        std::this_thread::sleep_until(due);
    }
    return got;
}

int CSimLine::write(const std::uint8_t* buffer, int n) {
    std::lock_guard lock(mutex_);
    checkUsable("write()", __LINE__);
    const long long byteUs = pacing_ ? kByteUs : 0;
    lineOutUs_ = std::max(lineOutUs_, nowUs_) + n * byteUs;
    receiver_.feed(buffer, static_cast<std::size_t>(n));
    std::vector<std::uint8_t> frame;
    while (receiver_.next(frame)) {
        std::size_t number = 0;
        const auto replies = sim_->handleTagged(frame.data(), frame.size(), number);
        if (number != 0) {
            lastRequest_ = number;
        }
        if (sim_->faults().vanished()) {
            raiseLine(CRSError::ERR_RS_OPERATION, "write()", serial_errors::kDeviceGone, __LINE__);
        }
        // The reply starts once the request is in and follows what is still on its way.
        long long readyUs = lineOutUs_ + 1000LL * sim_->faults().replyDelay().count();
        if (!incoming_.empty()) {
            readyUs = std::max(readyUs, incoming_.back().readyUs);
        }
        for (const sim_reply_t& reply : replies) {
            for (std::uint8_t byte : reply.bytes) {
                readyUs += byteUs;
                incoming_.push_back({readyUs, byte, reply.request});
            }
        }
    }
    return n;
}

void CSimLine::purgeIn() {
    std::lock_guard lock(mutex_);
    checkUsable("purgeIn()", __LINE__);
    while (!incoming_.empty() && incoming_.front().readyUs <= nowUs_) {
        incoming_.pop_front();
    }
}

void CSimLine::purgeOut() {
    std::lock_guard lock(mutex_);
    checkUsable("purgeOut()", __LINE__);
}

std::int64_t CSimLine::clockUs() const {
    std::lock_guard lock(mutex_);
    return nowUs_;
}
