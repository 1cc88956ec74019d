// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Reading and writing the program's files without surprises: a file is opened without
// blocking (a FIFO in its place answers at once instead of waiting for a writer), only
// regular files are taken unless the caller allows a stream, every read has a size
// limit, and reads and writes carry on after signals and partial transfers.
class CFileIo {
  public:
    enum class Failure {
        None,
        Missing,     // no such file (or a folder on the way is missing)
        NotRegular,  // a folder, FIFO, device or socket where a file was expected
        TooLarge,    // more bytes than the reader takes
        Short,       // fewer bytes than the reader needs
        Failed,      // the system refused (error holds errno)
    };
    // Where bytes may come from: files only, or also a FIFO or pipe (opened and read in
    // blocking mode, so a writer that starts later is waited for).
    enum class Source { RegularFile, FileOrStream };

    struct result_t {
        Failure failure = Failure::None;
        int error = 0;  // errno for Missing and Failed
        std::vector<std::uint8_t> bytes;
        bool ok() const { return failure == Failure::None; }
    };

    // The whole file; TooLarge when it holds more than maxSize bytes (a regular file
    // that says so is refused before anything is read).
    static result_t readFile(const std::string& path, std::size_t maxSize,
                             Source source = Source::RegularFile);
    // The first `size` bytes; Short when there are fewer. The rest is never read.
    static result_t readPrefix(const std::string& path, std::size_t size,
                               Source source = Source::RegularFile);

    // Opens for reading as the source allows; the descriptor is in blocking mode.
    // -1 with `status` saying why.
    static int openForReading(const std::string& path, Source source, result_t& status);
    // Opens a regular file for writing with `flags` added to O_WRONLY (O_CREAT,
    // O_TRUNC, O_APPEND …); anything else is refused before it is truncated or
    // written. -1 with `status` saying why.
    static int openForWriting(const std::string& path, int flags, mode_t mode, result_t& status);

    // Every byte, retrying after signals and partial writes; false with errno set.
    static bool writeAll(int fd, const void* data, std::size_t size);
    // Until `size` bytes or the end of the file, retrying after signals; the count,
    // or -1 with errno set.
    static ssize_t readAll(int fd, void* buffer, std::size_t size);
    // The same from `offset`, leaving the descriptor's position to other readers (on
    // Windows it moves it: keep other reads of the descriptor apart).
    static ssize_t readAllAt(int fd, void* buffer, std::size_t size, long long offset);

    // The descriptor calls the callers need, in this system's form: close(), the size a
    // file has (its end), and cutting it back to `size`; false or -1 with errno set.
    static bool closeFile(int fd);
    static long long endOf(int fd);
    // Moves to `offset` from the start, past 2 GB too; false with errno set.
    static bool seekTo(int fd, long long offset);
    // The size of the regular file open as `fd`, past 2 GB too; -1 for anything else.
    static long long regularSize(int fd);
    static bool truncateTo(int fd, long long size);
    // When a file was last changed; false when it cannot be looked at.
    static bool modifiedTime(const std::string& path, std::time_t& when);

    // Why the operation failed, in a few Polish words for the second line of a message.
    static std::string describe(const result_t& result);
    static result_t failed(Failure failure, int error = 0);

  private:
    static int openStream(const std::string& path, result_t& status);
    static ssize_t readAllFrom(int fd, void* buffer, std::size_t size, long long offset);
};
