// SPDX-License-Identifier: GPL-3.0-or-later
// From the program's launch to its first sample on screen: the whole window program on
// the simulated controller behind a paced pseudo-terminal, as `./run.sh --simulate`
// starts it. The launch is the process's start as the system counts it; the first sample
// is the first time the live chart is painted with samples in it. Prints its figures in
// milliseconds; the goal is 500 ms or less.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>

#include "app/device_doc.h"
#include "app/vapron_app.h"
#include "display/display_view.h"
#include "display/series_chart.h"

#include "ui_bench.h"

namespace {

// Milliseconds since this process started, on the system's boot clock.
double sinceLaunchMs() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) {
        fields >> field;  // the 22nd field is the start, in clock ticks since boot
    }
    const double startedMs = std::stod(field) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - startedMs;
}

class CPaintWatch : public QObject {
  public:
    explicit CPaintWatch(CDisplayView& view) : view_(view) {}
    double firstSampleMs = -1;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && firstSampleMs < 0 && view_.chart().lastIndex() > 0) {
            firstSampleMs = sinceLaunchMs();
        }
        return false;
    }

  private:
    CDisplayView& view_;
};

}  // namespace

int main(int argc, char** argv) {
    CUiBenchHome home;
    QApplication application(argc, argv);
    CVapron::prepareApplication();
    const double qtReadyMs = sinceLaunchMs();
    CVapron program(CUiBenchHome::simulated());
    program.start();
    CPaintWatch watch(*program.displayView());
    program.displayView()->installEventFilter(&watch);
    double connectedMs = -1;
    while (watch.firstSampleMs < 0 && sinceLaunchMs() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 2);
        if (connectedMs < 0 && program.document()->isConnected()) {
            connectedMs = sinceLaunchMs();
        }
    }
    std::printf("Qt ready %.0f ms, connected %.0f ms, first sample drawn %.0f ms after launch\n",
                qtReadyMs, connectedMs, watch.firstSampleMs);
    program.document()->OnCloseDocument();
    return watch.firstSampleMs > 0 && watch.firstSampleMs <= 500 ? 0 : 2;
}
