// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "support/file_handle.h"
#include "temp_fifo.h"

namespace {

namespace fs = std::filesystem;
using Failure = CFileIo::Failure;
using Write = CFileHandle::Write;

class FileHandleTest : public ::testing::Test {
  protected:
    FileHandleTest() {
        char pattern[] = "/tmp/vapron-handle-XXXXXX";
        dir_ = ::mkdtemp(pattern);
        std::ofstream(path("old"), std::ios::binary) << "old";
    }
    ~FileHandleTest() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string read(const std::string& name) const {
        std::stringstream text;
        text << std::ifstream(path(name), std::ios::binary).rdbuf();
        return text.str();
    }

    std::string dir_;
};

// Each way of opening for writing, on a file that is there and on one that is not:
// what the file holds after "new" is written, or why it was not opened.
TEST_F(FileHandleTest, EachWritingModeDoesWhatItSays) {
    const struct {
        Write mode;
        const char* name;
        Failure failure;
        int error;
        const char* contents;
    } rows[] = {
        {Write::CreateTruncate, "old", Failure::None, 0, "new"},
        {Write::CreateTruncate, "fresh", Failure::None, 0, "new"},
        {Write::CreateAppend, "old", Failure::None, 0, "oldnew"},
        {Write::CreateAppend, "fresh", Failure::None, 0, "new"},
        {Write::TruncateExisting, "old", Failure::None, 0, "new"},
        {Write::TruncateExisting, "fresh", Failure::Missing, ENOENT, ""},
        {Write::CreateNew, "old", Failure::Failed, EEXIST, "old"},
        {Write::CreateNew, "fresh", Failure::None, 0, "new"},
    };
    for (const auto& row : rows) {
        std::ofstream(path("old"), std::ios::binary) << "old";
        fs::remove(path("fresh"));
        auto opened = CFileHandle::openForWriting(path(row.name), row.mode);
        ASSERT_EQ(opened.ok(), row.failure == Failure::None) << row.name;
        if (opened.ok()) {
            EXPECT_TRUE(opened.file().write("new", 3));
            EXPECT_TRUE(opened.file().close());
        }
        EXPECT_EQ(opened.status().failure, row.failure) << row.name;
        EXPECT_EQ(opened.status().error, row.error) << row.name;
        EXPECT_EQ(read(row.name), row.contents) << row.name;
    }
}

// A missing file, a folder or a FIFO where a file is expected: the failure and no
// handle, at once.
TEST_F(FileHandleTest, OpeningWhatIsNoFileGivesTheFailureAndNoHandle) {
    fs::create_directory(path("folder"));
    CTempFifo fifo(path("fifo"));
    const struct {
        const char* name;
        std::optional<Write> mode;  // none: for reading
        Failure failure;
        int error;
    } rows[] = {
        {"missing", std::nullopt, Failure::Missing, ENOENT},
        {"old/below", std::nullopt, Failure::Missing, ENOTDIR},
        {"folder", std::nullopt, Failure::NotRegular, 0},
        {"fifo", std::nullopt, Failure::NotRegular, 0},
        {"no/such", Write::CreateTruncate, Failure::Missing, ENOENT},
        {"folder", Write::CreateAppend, Failure::NotRegular, EISDIR},
        {"fifo", Write::CreateTruncate, Failure::NotRegular, ENXIO},
    };
    for (const auto& row : rows) {
        CFileHandle::opened_t opened;
        ASSERT_TRUE(fifo.returnsAtOnce([&] {
            opened = row.mode ? CFileHandle::openForWriting(path(row.name), *row.mode)
                              : CFileHandle::openForReading(path(row.name));
        })) << row.name;
        EXPECT_FALSE(std::holds_alternative<CFileHandle>(opened.value)) << row.name;
        EXPECT_EQ(opened.status().failure, row.failure) << row.name;
        EXPECT_EQ(opened.status().error, row.error) << row.name;
    }
}

TEST_F(FileHandleTest, AMovedHandleIsClosedOnceByItsLastOwner) {
    auto opened = CFileHandle::openForWriting(path("moved"), Write::CreateTruncate);
    ASSERT_TRUE(opened.ok());
    CFileHandle last;
    {
        CFileHandle first(std::move(opened.file()));
        CFileHandle second(std::move(first));
        last = std::move(second);
        EXPECT_FALSE(first.isOpen());
        EXPECT_TRUE(first.close());  // nothing of its own to close
    }
    // Had a former owner closed the descriptor, these would fail with EBADF.
    EXPECT_TRUE(last.write("kept", 4));
    const int replaced = last.descriptor();
    last = std::move(CFileHandle::openForReading(path("old")).file());
    EXPECT_EQ(::fcntl(replaced, F_GETFD), -1);  // the file it held before is closed
    EXPECT_EQ(read("moved"), "kept");
}

TEST_F(FileHandleTest, CloseSaysWhenTheSystemRefused) {
    auto opened = CFileHandle::openForWriting(path("closed"), Write::CreateTruncate);
    ASSERT_TRUE(opened.ok());
    CFileHandle& file = opened.file();
    ASSERT_EQ(::close(file.descriptor()), 0);  // behind the handle's back
    errno = 0;
    EXPECT_FALSE(file.close());
    EXPECT_EQ(errno, EBADF);
    EXPECT_FALSE(file.isOpen());
}

}  // namespace
