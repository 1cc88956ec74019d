// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A view that shows diagnostic samples; the document clears, starts and stops it.
class IDiagDisplay {
  public:
    virtual ~IDiagDisplay() = default;
    virtual void clearValues() = 0;
    virtual void startRefresh() = 0;
    virtual void stopRefresh() = 0;
};
