// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/recording_task.h"

#include <atomic>
#include <exception>
#include <thread>

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

namespace {

constexpr int kScale = 1000;
std::atomic<int> g_showDelayMs{CRecordingTask::kShowDelayMs};

}  // namespace

void CRecordingTask::setShowDelay(int ms) {
    g_showDelayMs = ms;
}

bool CRecordingTask::run(QWidget* owner, const QString& text, const Work& work) {
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    bool completed = false;
    std::thread worker([&] {
        try {
            completed = work([&](double share) {
                done = static_cast<int>(share * kScale);
                return !stop.load();
            });
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });

    QProgressDialog progress(text, "Anuluj", 0, kScale, owner);
    progress.setWindowTitle("Vapron");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(g_showDelayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    QObject::connect(&progress, &QProgressDialog::canceled, [&] { stop = true; });
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        stop = stop || progress.wasCanceled();  // the box closed some other way
        progress.setValue(done);
    });
    tick.start(kTickMs);
    loop.exec();
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return completed && !stop;
}
