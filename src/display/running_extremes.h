// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The largest and smallest values an autoscaling chart has seen, with the count of data
// updates since they were last reset. Each chart kind keeps one for the whole program, so
// that the scale survives switching charts.
class CRunningExtremes {
  public:
    CRunningExtremes(double maximum, double minimum)
        : startMaximum_(maximum), startMinimum_(minimum), maximum_(maximum), minimum_(minimum) {}

    double maximum() const { return maximum_; }
    double minimum() const { return minimum_; }

    // Back to the values the extremes started from.
    void reset();
    // Starts afresh once `updates` data updates have been counted.
    void restartAfter(int updates);
    // Each returns true when the value moved its extreme.
    bool raise(double value);
    bool lower(double value);
    // Both extremes; true when either moved.
    bool include(double value);

    int updates() const { return updates_; }
    void countUpdate() { ++updates_; }

  private:
    double startMaximum_;
    double startMinimum_;
    double maximum_;
    double minimum_;
    int updates_ = 0;
};
