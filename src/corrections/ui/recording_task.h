// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>

#include "corrections/inj_map.h"

class QWidget;

// Reads a recording on a worker thread while the window stays alive: a progress box with
// "Anuluj" appears when the reading takes a while, and everything else keeps running
// (the live panel, the chart). The work must not touch any window.
class CRecordingTask {
  public:
    // Runs the reading with the progress callback it is given; returns its result.
    using Work = std::function<bool(const CInjMap::Progress& progress)>;
    static constexpr int kShowDelayMs = 400;
    static constexpr int kTickMs = 40;

    // True when the work completed; false when the user stopped it. An error raised by
    // the work is raised again here, on the window's thread.
    static bool run(QWidget* owner, const QString& text, const Work& work);

    // How long a reading may take before its progress box appears (tests show it at once).
    static void setShowDelay(int ms);
};
