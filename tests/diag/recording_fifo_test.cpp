// SPDX-License-Identifier: GPL-3.0-or-later
// A recording or companion that is not a regular file (a FIFO above all, which would
// hold the program until someone opened its other end) is refused at once and left
// as it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "../support/temp_fifo.h"
#include "diag/recording_loader.h"
#include "diag/recording_reader.h"
#include "diag/recording_writer.h"
#include "diag/settings_history.h"
#include "support/error_guard.h"
#include "temp_dir.h"

namespace {

TEST(RecordingFifoTest, RecordingFilesAreNeverWaitedOn) {
    CTempDir dir;
    const std::string recording = dir.path("run.lpgd");
    CTempFifo fifo(recording);
    CTempFifo companion(CSettingsHistory::companionName(dir.path("other.lpgd")));
    CDiagData store;
    store.push(app_msg_t{});
    device_info_t info;
    std::vector<device_info_t> history;

    struct row_t {
        const char* name;
        CTempFifo* fifo;  // the one a blocking open would wait on
        std::function<bool()> refused;
    };
    const row_t rows[] = {
        {"writer", &fifo,
         [&] {
             CRecordingWriter writer;
             return !writer.open(recording) &&
                    writer.openFailure().failure == CFileIo::Failure::NotRegular;
         }},
        {"reader", &fifo,
         [&] {
             CRecordingReader reader(recording);
             return !reader.isOpen() &&
                    reader.openFailure().failure == CFileIo::Failure::NotRegular;
         }},
        {"loader", &fifo,
         [&] {
             CRecordingLoader loader(recording);
             return catchError([&] { loader.loadAll(); }) != nullptr;
         }},
        {"truncate", &companion,
         [&] { return !CSettingsHistory::truncate(dir.path("other.lpgd")); }},
        {"append", &companion,
         [&] { return !CSettingsHistory::appendSnapshot(dir.path("other.lpgd"), info, store); }},
        {"history", &companion,
         [&] { return !CSettingsHistory::readHistory(dir.path("other.lpgd"), history); }},
    };
    for (const row_t& row : rows) {
        bool refused = false;
        EXPECT_TRUE(row.fifo->returnsAtOnce([&] { refused = row.refused(); })) << row.name;
        EXPECT_TRUE(refused) << row.name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(recording));
    EXPECT_TRUE(std::filesystem::is_fifo(companion.path()));
}

}  // namespace
