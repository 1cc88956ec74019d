// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <future>
#include <utility>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

// Runs a controller operation on a worker while the window goes on drawing itself (the
// chart, the panel, progress), so that a slow or lossy line never freezes it. The user's
// input waits meanwhile: one command at a time, as before. What the operation raises
// reaches the caller, on the window's thread.
class COffWindow {
  public:
    static constexpr int kPollMs = 10;

    template <class F>
    static auto run(F&& operation) -> decltype(operation()) {
        auto done = std::async(std::launch::async, std::forward<F>(operation));
        return wait(done, QEventLoop::ExcludeUserInputEvents);
    }

    // Keeps the window's event loop running (with `flags`) until `done` is ready, then
    // gives its result.
    template <class T>
    static T wait(std::future<T>& done, QEventLoop::ProcessEventsFlags flags) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
                loop.quit();
            }
        });
        poll.start(kPollMs);
        QCoreApplication::processEvents(flags);  // what was already asked for (a click) first
        if (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            loop.exec(flags);
        }
        return done.get();
    }
};
