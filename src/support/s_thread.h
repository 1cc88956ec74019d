// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A worker object. Its body runs on a thread of the thread manager, which owns it;
// a body loops while a flag shared with its owner stays set.
class CSThread {
  public:
    virtual ~CSThread() = default;
    virtual void run() = 0;
};
