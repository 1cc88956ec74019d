// SPDX-License-Identifier: GPL-3.0-or-later
// The live display: drawing a chart window, one refresh and showing a whole recording
// with a million samples in the store.
#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "app/device_doc.h"
#include "display/chart_window.h"
#include "display/display_view.h"
#include "display/time_chart.h"
#include "settings/memory_preferences.h"
#include "sim/sim_line.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

app_msg_t sampleNumber(int i) {
    app_msg_t s;
    s.index = static_cast<std::uint32_t>(i + 1);
    s.injector = 1;
    s.work_state = (i / 1000) % 2 ? 3 : 2;
    s.rpm_period = static_cast<std::uint16_t>(2400 + i % 3000);
    s.inj_period = s.rpm_period;
    s.gas_time = static_cast<std::uint16_t>(100 + i % 400);
    s.time_add = static_cast<std::uint16_t>(i % 40);
    s.time_aux = s.gas_time;
    s.pressure = 150;
    return s;
}

struct Display {
    Display() {
        doc = std::make_unique<CDeviceDoc>(
            std::make_unique<CSimLine>(std::make_shared<CControllerSim>()), &preferences);
        view = std::make_unique<CDisplayView>(*doc);
        view->resize(1000, 300);
        for (int i = 0; i < 1'000'000; ++i)
            doc->store().push(sampleNumber(i));
    }
    CMemoryPreferences preferences;
    std::unique_ptr<CDeviceDoc> doc;
    std::unique_ptr<CDisplayView> view;
};

Display& display() {
    static Display instance;
    return instance;
}

void BM_DrawWindowOf500(benchmark::State& state) {
    CTimeChart chart;
    chart.setSize(QSize(1000, 300));
    std::vector<app_msg_t> window;
    for (int i = 0; i < 500; ++i)
        window.push_back(sampleNumber(i));
    CChartWindow::reset();
    chart.setData(window, kClock);
    QImage image(1000, 300, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        chart.draw(painter);
    }
}
BENCHMARK(BM_DrawWindowOf500)->Unit(benchmark::kMillisecond);

void BM_RefreshWithMillionSamples(benchmark::State& state) {
    Display& d = display();
    for (auto _ : state) {
        state.PauseTiming();
        CChartWindow::reset();
        d.view->clearValues();
        state.ResumeTiming();
        d.view->refresh();
    }
}
BENCHMARK(BM_RefreshWithMillionSamples)->Unit(benchmark::kMillisecond);

void BM_ShowAllMillionSamples(benchmark::State& state) {
    Display& d = display();
    for (auto _ : state) {
        d.view->showAll();
    }
}
BENCHMARK(BM_ShowAllMillionSamples)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
