// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "corrections/inj_map_build.h"
#include "support/error_guard.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

// 5 ms on gasoline and 5.5 ms on LPG at 2400 rpm and 40 kPa.
constexpr const char* kPair =
    "1\t1\t2\t0\t2000\t2000\t200\t0\t0\t200\t133\t133\t90\t185\t50\t60\t0\t51\r\n"
    "2\t1\t3\t1\t2000\t2000\t220\t10\t0\t220\t133\t133\t90\t185\t50\t60\t0\t51\r\n";

// A file of its own for every test process, in a folder removed when the process ends.
std::string recording(const std::string& name, const std::string& bytes) {
    static const CTempDir folder;
    const std::string path = folder.path(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(InjMapFile, LoadsOrBuildsUpToALineThatIsNoSample) {
    const std::string path = recording("cut.lpgd", std::string(kPair) + "3\t1\tx\r\n");
    CInjMap chart(path);
    ASSERT_TRUE(chart.loadAll());
    ASSERT_EQ(chart.samples().size(), 2u);
    EXPECT_EQ(chart.samples()[1].work_state, 3);
    EXPECT_EQ(chart.samples()[1].time_add, 10);
    EXPECT_EQ(chart.unreadLines(), 1u);
    EXPECT_EQ(chart.reader().stopLine(), 3u);

    std::string drive;
    for (int i = 0; i < 11; ++i)
        drive += kPair;
    CInjMap map(recording("cut.lpgd", drive));
    CInjMapBuild build;
    ASSERT_TRUE(map.build(build));
    EXPECT_TRUE(map.samples().empty());  // a build keeps no sample
    EXPECT_EQ(build.proposal().byteAt(injmap::cellIndex(10, 2)), 110);
    fs::remove(path);
}

TEST(InjMapFile, AFileThatCannotBeOpenedRaisesCodeFour) {
    CInjMap file("/nonexistent/vapron.lpgd");
    ErrorPtr error = catchError([&] { file.loadAll(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), IError::ERR_FILE);
    EXPECT_EQ(error->message(), "Nie można otworzyć pliku do odczytu danych diagnostycznych");
}

TEST(InjMapFile, ReportsProgressAndStopsWhenAsked) {
    std::string drive;
    for (std::size_t i = 0; i < CInjMap::kProgressEvery + 5; ++i)
        drive += kPair;
    const std::string path = recording("long.lpgd", drive);
    std::vector<double> shares;
    CInjMap whole(path);
    ASSERT_TRUE(whole.loadAll([&](double share) {
        shares.push_back(share);
        return true;
    }));
    ASSERT_EQ(shares.size(), 3u);  // two on the way, one at the end
    EXPECT_GT(shares[0], 0.0);
    EXPECT_DOUBLE_EQ(shares.back(), 1.0);

    CInjMap stopped(path);
    CInjMapBuild build;
    EXPECT_FALSE(stopped.build(build, [](double) { return false; }));
    EXPECT_EQ(build.samples(), CInjMap::kProgressEvery);
    fs::remove(path);
}

}  // namespace
