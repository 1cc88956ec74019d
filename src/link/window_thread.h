// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The thread that draws the window program. No exchange with the controller may run on
// it: a lossy line would freeze the window for seconds. Test builds abort on one, so any
// window command that still exchanges there fails its test.
class CWindowThread {
  public:
    // Called once by the window program on the thread that runs its event loop.
    static void mark();
    // Forgets the mark (a test's window went away).
    static void clear();
    static bool isCurrent();
    // Aborts with `what` in test builds when called on the window's thread.
    static void refuseExchange(const char* what);
};
