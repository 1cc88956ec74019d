#include "display/running_extremes.h"

void CRunningExtremes::reset() {
    m_maximum = m_startMaximum;
    m_minimum = m_startMinimum;
    m_updates = 0;
}

void CRunningExtremes::restartAfter(int updates) {
    if (m_updates == updates) {
        reset();
    }
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
