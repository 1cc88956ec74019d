// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "diag/recording_archive.h"
#include "diag/recording_probe.h"
#include "temp_dir.h"

namespace {

const std::string kLine = "1\t2\t3\t15\t4801\t4701\t101\t12\t4\t0\t0\t150\t0\t0\t0\t90\t0\t0\r\n";

// 31 January 2024, 14:25:01 local time.
std::time_t aMoment() {
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 31;
    local.tm_hour = 14;
    local.tm_min = 25;
    local.tm_sec = 1;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

TEST(RecordingArchiveTest, TheStampGoesAfterTheStemOfTheFileName) {
    const struct {
        std::string recording;
        int serial;
        std::string stamped;
    } cases[] = {
        {"/d/Dane/Diagnostyka.lpgd", 1, "/d/Dane/Diagnostyka-20240131-142501.lpgd"},
        {"/d/Dane/Diagnostyka.lpgd", 3, "/d/Dane/Diagnostyka-20240131-142501-3.lpgd"},
        {"/d/jazda.próbna.lpgd", 1, "/d/jazda.próbna-20240131-142501.lpgd"},
        {"/d.x/jazda", 1, "/d.x/jazda-20240131-142501"},
        {"/d/.lpgd", 1, "/d/.lpgd-20240131-142501"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CRecordingArchive::stampedName(c.recording, aMoment(), c.serial), c.stamped);
    }
}

// Anything but nothing or an empty file is kept: a drive, a file that is no recording
// (a run would truncate it), or a companion with a snapshot.
TEST(RecordingArchiveTest, AnEarlierDriveIsMovedAsideWithItsCompanion) {
    const struct {
        const char* name;
        const char* recording;  // nullptr: no file
        std::string companion;
        bool moved;
    } cases[] = {
        {"no file", nullptr, "", false},
        {"empty", "", "", false},
        {"part of a line", "1\t2\t3", "", true},
        {"not a recording", "Lista zakupów", "", true},
        {"one sample", "one", "", true},
        {"snapshots only", "", std::string(1200, '\x04'), true},
        {"sample and snapshot", "one", std::string(1200, '\x04'), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        const std::string recording = dir.path("Diagnostyka.lpgd");
        const std::string content = c.recording && std::string(c.recording) == "one"
                                        ? kLine
                                        : std::string(c.recording ? c.recording : "");
        if (c.recording) {
            CTempDir::writeBytes(recording, content);
        }
        if (!c.companion.empty()) {
            CTempDir::writeBytes(recording + "-config", c.companion);
        }
        // The first stamped name is taken already.
        const std::string taken = CRecordingArchive::stampedName(recording, aMoment());
        CTempDir::writeBytes(taken, "earlier");

        const auto result = CRecordingArchive::setAside(recording, aMoment());
        EXPECT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.moved, c.moved);
        EXPECT_EQ(CTempDir::readBytes(taken), "earlier");
        if (!c.moved) {
            EXPECT_EQ(std::filesystem::exists(recording), c.recording != nullptr);
            continue;
        }
        EXPECT_EQ(result.movedTo, CRecordingArchive::stampedName(recording, aMoment(), 2));
        EXPECT_EQ(CTempDir::readBytes(result.movedTo), content);
        EXPECT_EQ(CTempDir::readBytes(result.movedTo + "-config"), c.companion);
        EXPECT_FALSE(std::filesystem::exists(recording));
        EXPECT_FALSE(std::filesystem::exists(recording + "-config"));
    }
}

// A link in the recording's place is moved aside itself: the run never writes through it.
TEST(RecordingArchiveTest, ALinkIsMovedAsideAndItsTargetLeftAlone) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights a Windows user seldom has";
#endif
    CTempDir dir;
    const std::string outside = dir.path("elsewhere.txt");
    CTempDir::writeBytes(outside, "");
    const std::string recording = dir.path("Diagnostyka.lpgd");
    std::filesystem::create_symlink(outside, recording);
    const auto result = CRecordingArchive::setAside(recording, aMoment());
    EXPECT_TRUE(result.moved);
    EXPECT_TRUE(std::filesystem::is_symlink(result.movedTo));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(recording)));
    EXPECT_TRUE(std::filesystem::exists(outside));
}

TEST(RecordingArchiveTest, AFolderThatCannotBeWrittenKeepsTheDriveWhereItIs) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser writes into any folder";
    }
    CTempDir dir;
    const std::string recording = dir.path("Diagnostyka.lpgd");
    CTempDir::writeBytes(recording, kLine);
    std::filesystem::permissions(
        dir.path(""), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const auto result = CRecordingArchive::setAside(recording, aMoment());
    std::filesystem::permissions(dir.path(""), std::filesystem::perms::owner_all);
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.moved);
    EXPECT_EQ(CTempDir::readBytes(recording), kLine);
}

TEST(RecordingArchiveTest, TheProbeSaysWhetherAFileHoldsASampleAndWhyNot) {
    CTempDir dir;
    const struct {
        const char* name;
        std::string bytes;
        CRecordingProbe::Result result;
        std::string reason;
    } cases[] = {
        {"sample", kLine, CRecordingProbe::Result::Samples, ""},
        {"empty", " \r\n", CRecordingProbe::Result::NoSamples, "plik jest pusty"},
        {"text", "\r\nto nie jest zapis\r\n", CRecordingProbe::Result::NoSamples,
         "wiersz 2 nie jest próbką: zawiera coś innego niż liczby"},
        {"cut", "1\t2\t3", CRecordingProbe::Result::NoSamples,
         "plik kończy się w środku pierwszej próbki (wiersz 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.path(std::string(c.name) + ".lpgd");
        CTempDir::writeBytes(file, c.bytes);
        const auto probe = CRecordingProbe::probe(file);
        EXPECT_EQ(probe.result, c.result);
        EXPECT_EQ(probe.reason, c.reason);
    }
    const auto missing = CRecordingProbe::probe(dir.path("missing.lpgd"));
    EXPECT_EQ(missing.result, CRecordingProbe::Result::CannotOpen);
    EXPECT_EQ(missing.reason, "plik nie istnieje");
}

}  // namespace
