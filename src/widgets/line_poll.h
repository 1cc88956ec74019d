// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <optional>

#include "link/request_cancel.h"

// A periodic controller read on a worker (the fuel level, the firing sequence): the
// window starts the next read only once it has taken the last, so a lossy line slows the
// readings, never the window. A poll that goes away stops its read within one exchange.
template <class T>
class CLinePoll {
  public:
    using Read = std::function<std::optional<T>()>;

    CLinePoll() = default;
    CLinePoll(const CLinePoll&) = delete;
    CLinePoll& operator=(const CLinePoll&) = delete;
    ~CLinePoll() { stop(); }

    bool running() const {
        return run_.valid() && run_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    }
    // A read was started and its result not taken yet.
    bool pending() const { return run_.valid(); }

    // Starts `read` unless one runs; whether it was started. `done` is called on the
    // worker as the read ends, however it ends: it hands the news to the window, which
    // then takes the result.
    bool start(Read read, std::function<void()> done) {
        if (running()) {
            return false;
        }
        going_ = true;
        run_ =
            std::async(std::launch::async, [this, read = std::move(read), done = std::move(done)] {
                const notify_t notify{done};
                CRequestCancel cancel(going_);
                return read();
            });
        return true;
    }

    // The value of the read, once (waiting for its last moment when `done` has just
    // been called); empty when it failed or none is pending. What the read raised (a port
    // failure) is raised here, on the caller's thread.
    std::optional<T> take() {
        if (!run_.valid()) {
            return std::nullopt;
        }
        return run_.get();
    }

    // Asks a running read to stop within its exchange, without waiting for it.
    void cancel() { going_ = false; }

    // Stops a running read and waits for it; its result is dropped.
    void stop() {
        cancel();
        if (run_.valid()) {
            run_.wait();
            run_ = {};
        }
    }

  private:
    struct notify_t {
        const std::function<void()>& done;
        ~notify_t() { done(); }
    };

    std::future<std::optional<T>> run_;
    std::atomic<bool> going_{true};
};
