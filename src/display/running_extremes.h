#pragma once

// The largest and smallest values an autoscaling chart has seen, with the count of data
// updates since they were last reset. Each chart kind keeps one for the whole program, so
// that the scale survives switching charts.
class CRunningExtremes {
  public:
    CRunningExtremes(double maximum, double minimum)
        : m_startMaximum(maximum),
          m_startMinimum(minimum),
          m_maximum(maximum),
          m_minimum(minimum) {}

    double maximum() const { return m_maximum; }
    double minimum() const { return m_minimum; }

    // Back to the values the extremes started from.
    void reset();
    // Starts afresh once `updates` data updates have been counted.
    void restartAfter(int updates);
    // Each returns true when the value moved its extreme.
    bool raise(double value);
    bool lower(double value);
    // Both extremes; true when either moved.
    bool include(double value);

    int updates() const { return m_updates; }
    void countUpdate() { ++m_updates; }

  private:
    double m_startMaximum;
    double m_startMinimum;
    double m_maximum;
    double m_minimum;
    int m_updates = 0;
};
