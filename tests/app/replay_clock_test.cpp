// SPDX-License-Identifier: GPL-3.0-or-later
// A recording replayed while another controller is connected converts with its own clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app_fixture.h"
#include "corrections/inj_map.h"
#include "corrections/inj_map_build.h"
#include "corrections/map_coverage.h"
#include "diag/csv_export.h"
#include "diag/recording_writer.h"
#include "diag/settings_history.h"
#include "display/time_chart.h"

namespace {

// A drive at idle on a 20 kHz controller: 100 ticks (5 ms) on gasoline and 110 on LPG,
// an engine period of 2400 ticks (1000 rpm).
std::string drive20k() {
    std::string lines;
    for (std::uint32_t i = 1; i <= 30; ++i) {
        app_msg_t s;
        s.index = i;
        s.injector = 1;
        s.work_state = i <= 15 ? 2 : 3;
        s.gas_time = i <= 15 ? 100 : 110;
        s.rpm_period = 2400;
        s.inj_period = 2400;
        s.pressure_intake = 60;
        lines += CRecordingWriter::formatLine(s);
    }
    return lines;
}

std::string secondLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    return line + "\n";  // the row's own "\r" stays
}

TEST(ReplayClockTest, AReplayConvertsWithTheRecordingsClockWhateverIsConnected) {
    AppFixture app;
    CDeviceDoc& doc = app.doc();
    doc.OnNewDocument();
    ASSERT_TRUE(doc.isConnected());
    ASSERT_EQ(doc.clock().hz(), 40000u);
    const std::string file = app.home().toStdString() + "/drive20k.lpgd";
    std::ofstream(file, std::ios::binary) << drive20k();
    device_info_t start;
    start.version = 4;
    start.clock[4] = 20000;
    ASSERT_TRUE(CSettingsHistory::startRun(file, start));

    app.nextFile = QString::fromStdString(file);
    doc.loadRecording();
    ASSERT_EQ(doc.store().getSize(), 30u);
    EXPECT_EQ(doc.store().clock().hz(), 20000u);
    EXPECT_TRUE(doc.store().clockKnown());

    // The live coverage of the replay is the map build of the file.
    CMapCoverage coverage;
    coverage.update(doc.store());
    CInjMap recording(file);
    CInjMapBuild build;
    build.setClock(*CSettingsHistory::clockOf(file));
    ASSERT_TRUE(recording.build(build));
    EXPECT_EQ(coverage.proposal().percent, build.proposal().percent);
    EXPECT_EQ(coverage.proposal().valued, build.proposal().valued);
    EXPECT_TRUE(build.proposal().valued[injmap::cellIndex(10, 1)]);  // 5 ms, 1000 rpm

    // The chart plots the build's times for the same samples.
    std::vector<app_msg_t> samples;
    doc.store().getRange(samples, 0, 30);
    CTimeChart chart;
    chart.setData(samples, doc.store().clock());
    std::set<double> plotted;
    for (const chart_series_t& series : chart.series()) {
        for (const chart_point_t& point : series.points) {
            plotted.insert(point.y);
        }
    }
    EXPECT_EQ(plotted.count(build.readingOf(samples[0]).timeMs), 1u);   // 5 ms
    EXPECT_EQ(plotted.count(build.readingOf(samples[20]).timeMs), 1u);  // 5.5 ms
    EXPECT_EQ(plotted.count(2.5), 0u);  // what the connected controller's clock would give

    // The CSV export converts with the recording's clock too.
    const std::string csv = app.home().toStdString() + "/drive20k.csv";
    ASSERT_TRUE(CCsvExport::exportFile(file, csv, {}).ok());
    std::string expected;
    CCsvExport::appendRow(expected, samples[0], *CControllerClock::of(20000));
    EXPECT_EQ(secondLine(csv), expected);
}

// A settings write while a recording without a companion is replayed appends a snapshot
// stamped with its last sample: it does not become the recording's clock.
TEST(ReplayClockTest, ASnapshotWrittenAfterTheRunIsNotItsClock) {
    AppFixture app;
    CDeviceDoc& doc = app.doc();
    doc.OnNewDocument();
    ASSERT_TRUE(doc.isConnected());
    doc.setUnlocked(true);
    const std::string file = app.home().toStdString() + "/old.lpgd";
    std::ofstream(file, std::ios::binary) << drive20k();
    app.nextFile = QString::fromStdString(file);
    doc.loadRecording();
    ASSERT_EQ(doc.store().getSize(), 30u);
    EXPECT_FALSE(doc.store().clockKnown());

    ASSERT_TRUE(doc.writeSetup(doc.heldSetup()));
    const std::string companion = CSettingsHistory::companionName(file);
    ASSERT_TRUE(std::filesystem::exists(companion));  // the snapshot is still written
    EXPECT_FALSE(CSettingsHistory::clockOf(file));
}

}  // namespace
