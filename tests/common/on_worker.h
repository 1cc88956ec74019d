// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <future>
#include <utility>

// Runs a test's own exchange with the controller (a look at what it holds) on a worker:
// the window's thread may not exchange.
template <class F>
auto onWorker(F&& exchange) {
    return std::async(std::launch::async, std::forward<F>(exchange)).get();
}
