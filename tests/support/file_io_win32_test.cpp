// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows forms of the file calls: UTF-8 names, devices refused, the atomic replace.
#include <gtest/gtest.h>

#include <io.h>
#include <windows.h>
#include <winioctl.h>

#include <filesystem>
#include <fstream>

#include "support/atomic_file.h"
#include "support/file_handle.h"
#include "support/file_io.h"
#include "support/utf8_path.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Write = CFileHandle::Write;

class FileIoWin32Test : public ::testing::Test {
  protected:
    // A name with the letters of a Polish workshop's cars and folders.
    std::string polish(const std::string& name) const {
        const std::u8string folder = folder_.u8string();
        return std::string(folder.begin(), folder.end()) + "/Źródła Łódź " + name;
    }

    CTempDir temp_;
    fs::path folder_ = fs::path(temp_.root());
};

TEST_F(FileIoWin32Test, APolishNameIsReplacedAtomicallyAndReadBack) {
    const std::string path = polish("Škoda.settings");
    ASSERT_TRUE(CAtomicFile::replace(path, "old contents", 12).ok());
    ASSERT_TRUE(CAtomicFile::replace(path, "new", 3).ok());
    const CFileIo::result_t read = CFileIo::readFile(path, 100);
    ASSERT_TRUE(read.ok()) << CFileIo::describe(read);
    EXPECT_EQ(std::string(read.bytes.begin(), read.bytes.end()), "new");
    EXPECT_TRUE(fs::exists(utf8Path(path)));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 1);  // no temporary left
    EXPECT_EQ(CFileIo::readFile(path, 2).failure, CFileIo::Failure::TooLarge);
    EXPECT_EQ(CFileIo::readPrefix(path, 4).failure, CFileIo::Failure::Short);
}

TEST_F(FileIoWin32Test, FoldersDevicesAndMissingFilesAreRefusedAsSuch) {
    struct refusal_t {
        std::string path;
        CFileIo::Failure failure;
    };
    const std::u8string folder = folder_.u8string();
    const refusal_t cases[] = {
        {std::string(folder.begin(), folder.end()), CFileIo::Failure::NotRegular},
        {"NUL", CFileIo::Failure::NotRegular},
        {polish("brak.lpgd"), CFileIo::Failure::Missing},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CFileIo::readFile(c.path, 100).failure, c.failure) << c.path;
        EXPECT_FALSE(CFileHandle::openForWriting(c.path, Write::TruncateExisting).ok()) << c.path;
    }
    EXPECT_EQ(CAtomicFile::replace(std::string(folder.begin(), folder.end()), "x", 1).failure,
              CFileIo::Failure::NotRegular);
    EXPECT_EQ(CAtomicFile::replace(polish("brak/x.settings"), "x", 1).failure,
              CFileIo::Failure::Missing);
}

TEST_F(FileIoWin32Test, WritingTruncatesOrAppendsInBinary) {
    const std::string path = polish("nagranie.lpgd");
    auto created = CFileHandle::openForWriting(path, Write::CreateTruncate);
    ASSERT_TRUE(created.ok());
    ASSERT_TRUE(created.file().write("a\r\nb\n", 5));
    created.file().close();
    auto appended = CFileHandle::openForWriting(path, Write::CreateAppend);
    ASSERT_TRUE(appended.ok());
    ASSERT_TRUE(appended.file().write("c", 1));
    appended.file().close();
    const CFileIo::result_t read = CFileIo::readFile(path, 100);
    EXPECT_EQ(std::string(read.bytes.begin(), read.bytes.end()), "a\r\nb\nc");
    ASSERT_TRUE(CFileHandle::openForWriting(path, Write::TruncateExisting).ok());
    EXPECT_TRUE(CFileIo::readFile(path, 100).bytes.empty());
}

// A recording past 4 GB keeps its size and every offset: the reader's read-ahead reads
// by offset and the reader goes on from one. The file is sparse, so nothing is written
// but its last byte.
TEST_F(FileIoWin32Test, OffsetsPastFourGigabytesAreKept) {
    const std::string path = polish("długa jazda.lpgd");
    auto written = CFileHandle::openForWriting(path, Write::CreateTruncate);
    ASSERT_TRUE(written.ok());
    CFileHandle& out = written.file();
    DWORD returned = 0;
    if (!::DeviceIoControl(reinterpret_cast<HANDLE>(::_get_osfhandle(out.descriptor())),
                           FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr)) {
        GTEST_SKIP() << "no sparse files on this drive";
    }
    const long long beyond = (5LL << 30) + 3;
    ASSERT_TRUE(out.seek(beyond));
    ASSERT_TRUE(out.write("x", 1));
    out.close();
    auto opened = CFileHandle::openForReading(path);
    ASSERT_TRUE(opened.ok());
    CFileHandle& in = opened.file();
    EXPECT_EQ(in.size(), beyond + 1);
    char byte = 0;
    EXPECT_EQ(in.readAt(&byte, 1, beyond), 1);
    EXPECT_EQ(byte, 'x');
    ASSERT_TRUE(in.seek(beyond));
    byte = 0;
    EXPECT_EQ(in.read(&byte, 1), 1);
    EXPECT_EQ(byte, 'x');
}

}  // namespace
