// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "../common/file_size_limit.h"
#include "support/atomic_file.h"
#include "support/file_handle.h"
#include "support/file_io.h"
#include "temp_dir.h"
#include "temp_fifo.h"

namespace {

namespace fs = std::filesystem;
using Failure = CFileIo::Failure;
using Source = CFileIo::Source;
using Write = CFileHandle::Write;

class FileIoTest : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    static void write(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static std::string text(const CFileIo::result_t& r) {
        return std::string(r.bytes.begin(), r.bytes.end());
    }

    CTempDir temp_;
    std::string dir_ = temp_.root();
};

TEST_F(FileIoTest, ReadingSaysWhyItFailed) {
    write(path("four"), "abcd");
    fs::create_directory(path("folder"));
    // A file that claims a gigabyte is refused from its size, before any byte is read.
    const std::string huge = path("huge");
    write(huge, "");
    fs::resize_file(huge, std::uintmax_t{1} << 30);
    CTempFifo fifo(path("fifo"));

    struct row_t {
        std::string file;
        std::size_t size;
        bool prefix;
        Failure failure;
        std::string bytes;
        int error;
    };
    const row_t rows[] = {
        {"four", 4, false, Failure::None, "abcd", 0},
        {"four", 3, false, Failure::TooLarge, "", 0},
        {"four", 9, false, Failure::None, "abcd", 0},
        {"four", 3, true, Failure::None, "abc", 0},
        {"four", 5, true, Failure::Short, "", 0},
        {"missing", 4, false, Failure::Missing, "", ENOENT},
        {"four/below", 4, true, Failure::Missing, "", ENOTDIR},
        {"folder", 4, false, Failure::NotRegular, "", 0},
        {"huge", 1024, false, Failure::TooLarge, "", 0},
        {"fifo", 4, false, Failure::NotRegular, "", 0},
        {"fifo", 4, true, Failure::NotRegular, "", 0},
    };
    for (const row_t& row : rows) {
        CFileIo::result_t result;
        ASSERT_TRUE(fifo.returnsAtOnce([&] {
            result = row.prefix ? CFileIo::readPrefix(path(row.file), row.size)
                                : CFileIo::readFile(path(row.file), row.size);
        })) << row.file;
        EXPECT_EQ(result.failure, row.failure) << row.file << " " << row.size;
        EXPECT_EQ(text(result), row.bytes) << row.file << " " << row.size;
        EXPECT_EQ(result.error, row.error) << row.file;
        EXPECT_EQ(result.ok(), row.failure == Failure::None);
    }
}

TEST_F(FileIoTest, AStreamIsReadWhenTheCallerTakesOneWithinItsLimit) {
    CTempFifo fifo(path("fifo"));
    // Several rounds: a writer that writes and leaves at once must never be missed.
    for (int round = 0; round < 20; ++round) {
        auto writer = fifo.feed(std::string(600, 'e'));
        CFileIo::result_t prefix;
        ASSERT_TRUE(fifo.returnsAtOnce(
            [&] { prefix = CFileIo::readPrefix(fifo.path(), 512, Source::FileOrStream); }));
        EXPECT_TRUE(prefix.ok());
        EXPECT_EQ(text(prefix), std::string(512, 'e'));
    }
    auto writer = fifo.feed(std::string(100, 'f'));
    const auto tooLarge = CFileIo::readFile(fifo.path(), 99, Source::FileOrStream);
    writer->finish();
    EXPECT_EQ(tooLarge.failure, Failure::TooLarge);
}

TEST_F(FileIoTest, WritingOpensOnlyRegularFilesAndNeverTruncatesAnythingElse) {
    write(path("old"), "old contents");
    CTempFifo fifo(path("fifo"));
    fs::create_directory(path("folder"));
    auto old = CFileHandle::openForWriting(path("old"), Write::TruncateExisting);
    ASSERT_TRUE(old.ok());
    EXPECT_TRUE(old.file().write("new", 3));
    old.file().close();
    EXPECT_EQ(read(path("old")), "new");

    for (const char* name : {"fifo", "folder"}) {
        CFileHandle::opened_t opened;
        ASSERT_TRUE(fifo.returnsAtOnce(
            [&] { opened = CFileHandle::openForWriting(path(name), Write::CreateTruncate); }));
        EXPECT_FALSE(opened.ok()) << name;
        EXPECT_EQ(opened.status().failure, Failure::NotRegular) << name;
    }
    const auto missing = CFileHandle::openForWriting(path("no/such"), Write::CreateTruncate);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status().failure, Failure::Missing);
    EXPECT_EQ(CFileIo::describe(missing.status()), "plik nie istnieje");
}

TEST_F(FileIoTest, AWriteCutShortIsCarriedOnUntilTheSystemRefuses) {
    const std::string file = path("limited");
    auto opened = CFileHandle::openForWriting(file, Write::CreateTruncate);
    ASSERT_TRUE(opened.ok());
    bool written = true;
    int error = 0;
    {
        CFileSizeLimit limit(10);  // the first write takes 10 bytes, the next one fails
        written = opened.file().write("0123456789abcdefghij", 20);
        error = errno;
    }
    opened.file().close();
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(read(file), "0123456789");
}

extern "C" void ignoreSignal(int) {}

TEST_F(FileIoTest, AReadInterruptedByASignalCarriesOn) {
    struct sigaction action {};
    action.sa_handler = ignoreSignal;  // no SA_RESTART: a blocked read returns EINTR
    struct sigaction previous {};
    ::sigaction(SIGUSR1, &action, &previous);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    CFileHandle readEnd(pipeEnds[0]);
    CFileHandle writeEnd(pipeEnds[1]);
    std::ptrdiff_t got = 0;
    char buffer[4] = {};
    std::thread reader([&] { got = readEnd.read(buffer, sizeof buffer); });
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::pthread_kill(reader.native_handle(), SIGUSR1);
    }
    ASSERT_TRUE(writeEnd.write("ab", 2));
    ::pthread_kill(reader.native_handle(), SIGUSR1);
    ASSERT_TRUE(writeEnd.write("cd", 2));
    reader.join();
    ::sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(got, 4);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
}

// Reads by offset, as the threads reading a recording ahead make them: the bytes from
// there, fewer at the end, none past it, and the descriptor's own position untouched.
TEST_F(FileIoTest, ReadingAtAnOffsetLeavesThePositionAlone) {
    const std::string file = path("run.lpgd");
    write(file, "0123456789");
    auto opened = CFileHandle::openForReading(file);
    ASSERT_TRUE(opened.ok());
    CFileHandle& run = opened.file();
    char first[2] = {};
    ASSERT_EQ(run.read(first, 2), 2);
    const struct {
        long long offset;
        std::size_t size;
        std::string expected;
    } reads[] = {{0, 4, "0123"}, {7, 4, "789"}, {10, 4, ""}, {40, 4, ""}};
    for (const auto& r : reads) {
        char buffer[8] = {};
        EXPECT_EQ(run.readAt(buffer, r.size, r.offset), static_cast<std::ptrdiff_t>(r.expected.size()))
            << r.offset;
        EXPECT_EQ(std::string(buffer, r.expected.size()), r.expected) << r.offset;
    }
    char next[2] = {};
    ASSERT_EQ(run.read(next, 2), 2);
    EXPECT_EQ(std::string(next, 2), "23");
    run.close();
    char buffer[4];
    EXPECT_EQ(run.readAt(buffer, sizeof buffer, 0), -1);
    EXPECT_EQ(errno, EBADF);
}

// Atomic replace ----------------------------------------------------------------------

TEST_F(FileIoTest, ReplacingKeepsALinkAndThePermissionsOfTheFileItNames) {
    const std::string target = path("settings.ini");
    write(target, "old");
    ::chmod(target.c_str(), 0600);
    fs::create_symlink("settings.ini", path("link.ini"));

    ASSERT_TRUE(CAtomicFile::replace(path("link.ini"), "new", 3).ok());
    EXPECT_TRUE(fs::is_symlink(path("link.ini")));
    EXPECT_EQ(read(target), "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // A new file is an ordinary document: 0666 less the umask.
    const mode_t umask = ::umask(022);
    ASSERT_TRUE(CAtomicFile::replace(path("fresh"), "x", 1).ok());
    ::umask(umask);
    ASSERT_EQ(::stat(path("fresh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

TEST_F(FileIoTest, ReplacingRefusesWhatIsNotARegularFile) {
    CTempFifo fifo(path("fifo"));
    fs::create_directory(path("folder"));
    fs::create_symlink("fifo", path("to-fifo"));
    fs::create_symlink("loop", path("loop"));
    for (const char* name : {"fifo", "folder", "to-fifo"}) {
        EXPECT_EQ(CAtomicFile::replace(path(name), "x", 1).failure, Failure::NotRegular) << name;
    }
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
    const auto loop = CAtomicFile::replace(path("loop"), "x", 1);
    EXPECT_EQ(loop.failure, Failure::Failed);
    EXPECT_EQ(loop.error, ELOOP);
    EXPECT_EQ(CAtomicFile::replace(path("no/such/file"), "x", 1).failure, Failure::Missing);
}

}  // namespace
