// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

// While an object of this class lives, Ctrl+C (and a request to end the program: SIGTERM
// on Linux, closing the console window on Windows) stores `value` in `flag` instead of
// ending the process, so a command can stop its workers and close its files. One at a
// time; the system's default comes back when it is destroyed.
class CInterrupt {
  public:
    CInterrupt(std::atomic<bool>& flag, bool value);
    ~CInterrupt();
    CInterrupt(const CInterrupt&) = delete;
    CInterrupt& operator=(const CInterrupt&) = delete;

    // Called by the platform's handler.
    static void interrupted();
};
