// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>

#include "../support/temp_fifo.h"
#include "display/chart_settings.h"
#include "temp_dir.h"

namespace {

// A FIFO, a folder or an oversized file in the settings file's place gives the chart's
// own defaults at once; the window never waits for a writer.
TEST(ChartSettingsFileTest, OnlyARegularFileOfReasonableSizeIsRead) {
    CTempDir dir;
    ASSERT_TRUE(std::filesystem::is_directory(dir.root()));
    CTempFifo fifo(dir.path("fifo.txt"));
    std::optional<chart_settings_t> fromFifo{chart_settings_t{}};
    EXPECT_TRUE(fifo.returnsAtOnce(
        [&] { fromFifo = CChartSettings::read(QString::fromStdString(fifo.path())); }));
    EXPECT_FALSE(fromFifo.has_value());
    EXPECT_FALSE(CChartSettings::read(QString::fromStdString(dir.root())).has_value());

    QFile large(QString::fromStdString(dir.path("large.txt")));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    large.write("YAXIS\t0\t10\n");
    large.resize(64 * 1024 + 1);
    large.close();
    EXPECT_FALSE(CChartSettings::read(large.fileName()).has_value());

    ASSERT_TRUE(CChartSettings::write(QString::fromStdString(dir.path("chart.txt")), 1, 9, 2));
    const auto read = CChartSettings::read(QString::fromStdString(dir.path("chart.txt")));
    ASSERT_TRUE(read.has_value());
    ASSERT_TRUE(read->yAxis.has_value());
    EXPECT_EQ(read->yAxis->max, 9.0);
}

}  // namespace
