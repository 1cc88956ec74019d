#include "sim/sim_line.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "support/rs_error.h"

namespace {

[[noreturn]] void raiseLine(unsigned code, const std::string& operation, int err, int line) {
    throw new CRSError(code,
                       "CSerialPort::" + operation + " - GetLastError()=" + std::to_string(err),
                       line, __FILE__);
}

}  // namespace

CSimLine::CSimLine(std::shared_ptr<CControllerSim> sim) : sim_(std::move(sim)) {}

void CSimLine::setAnswerPort(int port) {
    std::lock_guard lock(mutex_);
    answerPort_ = port;
}

long long CSimLine::elapsedMs() const {
    std::lock_guard lock(mutex_);
    return nowMs_;
}

void CSimLine::open(int port) {
    std::lock_guard lock(mutex_);
    if (sim_->faults().vanished() || (answerPort_ != 0 && port != answerPort_)) {
        raiseLine(CRSError::ERR_RS_OPEN, "open(" + std::to_string(port) + ")", ENOENT, __LINE__);
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
        raiseLine(CRSError::ERR_RS_OPERATION, operation, EBADF, line);
    }
    if (sim_->faults().vanished()) {
        raiseLine(CRSError::ERR_RS_OPERATION, operation, EIO, line);
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
    std::lock_guard lock(mutex_);
    checkUsable("read()", __LINE__);
    const long long deadline = nowMs_ + timeouts_.constantMs + 1LL * n * timeouts_.perByteMs;
    long long lastMs = nowMs_;
    int got = 0;
    while (got < n && !incoming_.empty() && incoming_.front().readyMs <= deadline) {
        lastMs = std::max(lastMs, incoming_.front().readyMs);
        buffer[got++] = incoming_.front().byte;
        incoming_.pop_front();
    }
    if (got < n) {
        nowMs_ = deadline;
        receiver_.reset();  // the controller drops a frame the line left half-sent
    } else {
        nowMs_ = lastMs;
    }
    return got;
}

int CSimLine::write(const std::uint8_t* buffer, int n) {
    std::lock_guard lock(mutex_);
    checkUsable("write()", __LINE__);
    receiver_.feed(buffer, static_cast<std::size_t>(n));
    std::vector<std::uint8_t> frame;
    while (receiver_.next(frame)) {
        const auto reply = sim_->handle(frame);
        if (sim_->faults().vanished()) {
            raiseLine(CRSError::ERR_RS_OPERATION, "write()", EIO, __LINE__);
        }
        long long readyMs = nowMs_ + sim_->faults().replyDelay().count();
        if (!incoming_.empty()) {
            readyMs = std::max(readyMs, incoming_.back().readyMs);
        }
        for (std::uint8_t byte : reply) {
            incoming_.push_back({readyMs, byte});
        }
    }
    return n;
}

void CSimLine::purgeIn() {
    std::lock_guard lock(mutex_);
    checkUsable("purgeIn()", __LINE__);
    while (!incoming_.empty() && incoming_.front().readyMs <= nowMs_) {
        incoming_.pop_front();
    }
}

void CSimLine::purgeOut() {
    std::lock_guard lock(mutex_);
    checkUsable("purgeOut()", __LINE__);
}
