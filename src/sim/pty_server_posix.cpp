// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

#include "support/i_error.h"

namespace {

constexpr int kPollMs = 20;
constexpr auto kIdleWait = std::chrono::milliseconds(5);

[[noreturn]] void raiseSystem(const std::string& operation) {
    VAPRON_RAISE(IError::ERR_SYSTEM,
                 "CPtyServer::start() - " + operation + " errno=" + std::to_string(errno));
}

}  // namespace

CPtyServer::CPtyServer(std::shared_ptr<CControllerSim> sim) : sim_(std::move(sim)) {}

CPtyServer::~CPtyServer() {
    stop();
}

CPtyServer::Clock::duration CPtyServer::byteTime() {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte / kBaud));
}

void CPtyServer::start() {
    if (running_) {
        return;
    }
    if (thread_.joinable()) {
        thread_.join();  // the thread of a controller that vanished has ended by itself
    }
    closeTerminal();
    receiver_.reset();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        raiseSystem("posix_openpt");
    }
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        closeTerminal();
        raiseSystem("grantpt");
    }
    slavePath_ = name;
    holder_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (holder_ < 0 || ::tcgetattr(holder_, &tio) != 0) {
        closeTerminal();
        raiseSystem("open(" + slavePath_ + ")");
    }
    ::cfmakeraw(&tio);  // no echo, no line editing before the client sets the line up
    ::tcsetattr(holder_, TCSANOW, &tio);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    stopping_ = false;
    running_ = true;
    adapterOrigin_ = Clock::now();
    thread_ = std::thread(&CPtyServer::serve, this);
}

void CPtyServer::stop() {
    {
        std::lock_guard lock(waitMutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    closeTerminal();
    running_ = false;
}

void CPtyServer::closeTerminal() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (holder_ >= 0) {
        ::close(holder_);
        holder_ = -1;
    }
}

bool CPtyServer::waitUntil(Clock::time_point when) {
    std::unique_lock lock(waitMutex_);
    return !wake_.wait_until(lock, when, [this] { return stopping_.load(); });
}

// A sleeping thread wakes 0.1-0.2 ms late, which neither a line nor an adapter's timer
// does. So the last stretch before a byte the reader waits for is spent awake.
bool CPtyServer::waitUntilPrecisely(Clock::time_point when) {
    if (!waitUntil(when - kWakeMargin)) {
        return false;
    }
    while (Clock::now() < when && !stopping_) {
        std::this_thread::yield();
    }
    return !stopping_;
}

void CPtyServer::serve() {
    std::uint8_t buffer[512];
    while (!stopping_) {
        if (sim_->faults().vanished()) {
            break;
        }
        pollfd pfd{master_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, kPollMs);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready <= 0) {
            if (receiver_.hasPartial() && Clock::now() - lastByte_ > kFrameGap) {
                receiver_.reset();
            }
            continue;
        }
        const ssize_t count = (pfd.revents & POLLIN) ? ::read(master_, buffer, sizeof buffer) : -1;
        if (count > 0) {
            receive(buffer, static_cast<std::size_t>(count));
        } else {
            // Nobody on the slave side (POLLHUP, EIO): wait instead of spinning.
            waitUntil(Clock::now() + kIdleWait);
        }
    }
    if (sim_->faults().vanished()) {
        closeTerminal();  // the client's next read or write fails as on an unplugged port
    }
    running_ = false;
}

void CPtyServer::receive(const std::uint8_t* data, std::size_t size) {
    const auto now = Clock::now();
    lastByte_ = now;
    lineFree_ = std::max(lineFree_, now) + static_cast<long>(size) * byteTime();
    receiver_.feed(data, size);
    std::vector<std::uint8_t> frame;
    while (!stopping_ && receiver_.next(frame)) {
        if (pacing_ && !waitUntil(lineFree_)) {
            return;
        }
        const auto reply = sim_->handle(frame);
        if (sim_->faults().vanished()) {
            return;
        }
        // A controller answers as the request's last bit is in, which is when the line
        // time says, not when this thread happens to wake up.
        auto start = pacing_ ? lineFree_ : Clock::now();
        const auto delay = sim_->faults().replyDelay();
        if (delay.count() > 0) {
            start = Clock::now() + delay;
            if (!waitUntil(start)) {
                return;
            }
        }
        send(reply, start);
    }
}

void CPtyServer::send(const std::vector<std::uint8_t>& bytes, Clock::time_point start) {
    if (adapterLatencyMs_ > 0) {
        sendThroughAdapter(bytes, start);
        return;
    }
    const auto perByte = byteTime();
    std::size_t sent = 0;
    while (sent < bytes.size() && !stopping_) {
        std::size_t due = bytes.size();
        if (pacing_) {
            // A byte is there for the reader once its last bit has crossed the line.
            due = std::min<std::size_t>(bytes.size(), (Clock::now() - start) / perByte);
            if (due <= sent) {
                // The reader waits for the last byte; the ones before it it only gathers.
                const auto next = start + static_cast<long>(sent + 1) * perByte;
                sent + 1 == bytes.size() ? waitUntilPrecisely(next) : waitUntil(next);
                continue;
            }
        }
        const ssize_t count = ::write(master_, bytes.data() + sent, due - sent);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
        } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
            return;  // the terminal is gone
        } else {
            waitUntil(Clock::now() + kIdleWait);  // the client does not read; its buffer is full
        }
    }
}

// Each full packet goes on as its last byte arrives; the rest waits for the timer.
void CPtyServer::sendThroughAdapter(const std::vector<std::uint8_t>& bytes,
                                    Clock::time_point start) {
    const auto perByte = pacing_ ? byteTime() : Clock::duration::zero();
    const Clock::duration latency = std::chrono::milliseconds(adapterLatencyMs_.load());
    for (std::size_t from = 0; from < bytes.size() && !stopping_; from += kAdapterPacket) {
        const std::size_t size = std::min(kAdapterPacket, bytes.size() - from);
        auto when = start + static_cast<long>(from + size) * perByte;
        if (size < kAdapterPacket) {
            const auto periods = (when - adapterOrigin_ + latency - Clock::duration(1)) / latency;
            when = adapterOrigin_ + periods * latency;
        }
        if (!waitUntilPrecisely(when) || !writeAll(bytes.data() + from, size)) {
            return;
        }
    }
}

bool CPtyServer::writeAll(const std::uint8_t* data, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size && !stopping_) {
        const ssize_t count = ::write(master_, data + sent, size - sent);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
        } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
            return false;  // the terminal is gone
        } else {
            waitUntil(Clock::now() + kIdleWait);
        }
    }
    return sent == size;
}
