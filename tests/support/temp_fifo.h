// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

// A FIFO where a file is expected, for tests that code never waits on one. A call that
// would block is released (the other end is opened and closed) instead of hanging the
// test, and reported.
class CTempFifo {
  public:
    explicit CTempFifo(std::string path) : path_(std::move(path)) {
        if (::mkfifo(path_.c_str(), 0600) != 0) {
            throw std::runtime_error("mkfifo " + path_);
        }
    }
    ~CTempFifo() { ::unlink(path_.c_str()); }
    CTempFifo(const CTempFifo&) = delete;
    CTempFifo& operator=(const CTempFifo&) = delete;

    const std::string& path() const { return path_; }

    // True when `body` returned within the limit without anyone at the other end.
    template <class F>
    bool returnsAtOnce(F&& body,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        ::signal(SIGPIPE, SIG_IGN);  // a released writer fails instead of ending the test
        auto done = std::async(std::launch::async, std::forward<F>(body));
        if (done.wait_for(limit) == std::future_status::ready) {
            done.get();
            return true;
        }
        while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
            const int fd = ::open(path_.c_str(), O_RDWR | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
            }
        }
        return false;
    }

    // Writes `bytes` from another thread, as a writer started before the reader does:
    // it waits in a blocking open for a reader, writes and leaves. Joined (released
    // first if no reader came) by finish() or on destruction.
    class Feeder {
      public:
        Feeder(std::string path, std::string bytes) : path_(std::move(path)) {
            ::signal(SIGPIPE, SIG_IGN);  // a reader that stops early is the test's failure
            thread_ = std::thread([this, bytes = std::move(bytes)] {
                const int fd = ::open(path_.c_str(), O_WRONLY);
                if (fd >= 0) {
                    (void)!::write(fd, bytes.data(), bytes.size());
                    ::close(fd);
                }
            });
        }
        ~Feeder() { finish(); }
        Feeder(const Feeder&) = delete;
        Feeder& operator=(const Feeder&) = delete;
        void finish() {
            if (!thread_.joinable()) {
                return;
            }
            const int release = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
            thread_.join();
            if (release >= 0) {
                ::close(release);
            }
        }

      private:
        std::string path_;
        std::thread thread_;
    };
    std::unique_ptr<Feeder> feed(std::string bytes) const {
        auto feeder = std::make_unique<Feeder>(path_, std::move(bytes));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // waiting in open
        return feeder;
    }

  private:
    std::string path_;
};
