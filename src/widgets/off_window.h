// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <future>
#include <utility>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <QTimer>

#include "link/request_cancel.h"
#include "widgets/stop_box.h"

// Runs a controller operation on a worker while the window goes on drawing itself (the
// chart, the panel, progress), so that a slow or lossy line never freezes it. The user's
// input waits meanwhile: one command at a time. An operation still running after a moment
// shows a box with what runs and "Przerwij", which stops it within one exchange. What the
// operation raises reaches the caller, on the window's thread.
class COffWindow {
  public:
    static constexpr int kPollMs = 10;
    // Shorter operations show no box: it would only flash.
    static constexpr int kBoxAfterMs = 300;
    // Tests whose controller answers at once show the box at once.
    static int& boxAfterMs() {
        static int ms = kBoxAfterMs;
        return ms;
    }

    // The operation's result; `stopped` (when given) tells whether the user stopped it.
    template <class F>
    static auto run(QWidget* parent, const QString& text, F&& operation, bool* stopped = nullptr)
        -> decltype(operation()) {
        std::atomic<bool> going{true};
        auto done = std::async(std::launch::async, [&] {
            CRequestCancel cancel(going);
            return operation();
        });
        CStopBox box(parent, text, going);
        const bool quick =
            boxAfterMs() > 0 && waitFor(done, boxAfterMs(), QEventLoop::ExcludeUserInputEvents);
        if (!quick) {
            box.show();  // modal: only its button takes the user's input
            waitFor(done, -1, QEventLoop::AllEvents);
        }
        box.hide();
        if (stopped) {
            *stopped = !going;
        }
        return done.get();
    }

    // Keeps the window's event loop running (with `flags`) until `done` is ready or
    // `limitMs` (unless negative) has passed; whether it is ready.
    template <class T>
    static bool waitFor(std::future<T>& done, int limitMs, QEventLoop::ProcessEventsFlags flags) {
        QEventLoop loop;
        QTimer poll;
        QElapsedTimer waited;
        waited.start();
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (ready(done) || (limitMs >= 0 && waited.elapsed() >= limitMs)) {
                loop.quit();
            }
        });
        poll.start(kPollMs);
        QCoreApplication::processEvents(flags);  // what was already asked for (a click) first
        if (!ready(done)) {
            loop.exec(flags);
        }
        return ready(done);
    }

    template <class T>
    static bool ready(std::future<T>& done) {
        return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }
};
