// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

// While one lives, the controller operations of its thread give up before their next
// attempt, and cut their pauses short, once `running` turns false: a stopped procedure
// ends within the exchange already on the line. Scopes nest; the innermost one counts.
class CRequestCancel {
  public:
    explicit CRequestCancel(const std::atomic<bool>& running);
    ~CRequestCancel();
    CRequestCancel(const CRequestCancel&) = delete;
    CRequestCancel& operator=(const CRequestCancel&) = delete;

    // The calling thread's procedure has been stopped.
    static bool requested();
    // The calling thread runs a procedure that can be stopped.
    static bool active();

  private:
    const std::atomic<bool>* outer_;
};
