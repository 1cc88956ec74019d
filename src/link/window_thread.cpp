// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/window_thread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
std::atomic<std::thread::id> g_window{};
}  // namespace

void CWindowThread::mark() {
    g_window = std::this_thread::get_id();
}

void CWindowThread::clear() {
    g_window = std::thread::id{};
}

bool CWindowThread::isCurrent() {
    return g_window.load() == std::this_thread::get_id();
}

void CWindowThread::refuseExchange([[maybe_unused]] const char* what) {
#ifdef VAPRON_CHECK_WINDOW_THREAD
    if (isCurrent()) {
        std::fprintf(stderr, "exchange on the window's thread: %s\n", what);
        std::abort();
    }
#endif
}
