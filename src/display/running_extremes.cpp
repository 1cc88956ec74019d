#include "display/running_extremes.h"

void CRunningExtremes::reset(double maximum, double minimum) {
    m_maximum = maximum;
    m_minimum = minimum;
    m_updates = 0;
}

bool CRunningExtremes::raise(double value) {
    if (value <= m_maximum) {
        return false;
    }
    m_maximum = value;
    return true;
}

bool CRunningExtremes::lower(double value) {
    if (value >= m_minimum) {
        return false;
    }
    m_minimum = value;
    return true;
}

bool CRunningExtremes::include(double value) {
    const bool raised = raise(value);
    const bool lowered = lower(value);
    return raised || lowered;
}
