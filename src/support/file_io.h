// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Reading and writing the program's files without surprises: a file is opened without
// blocking (a FIFO in its place answers at once instead of waiting for a writer), only
// regular files are taken unless the caller allows a stream, every read has a size
// limit, and reads and writes carry on after signals and partial transfers. An open
// file is a CFileHandle.
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

    // When a file was last changed; false when it cannot be looked at.
    static bool modifiedTime(const std::string& path, std::time_t& when);

    // Why the operation failed, in a few Polish words for the second line of a message.
    static std::string describe(const result_t& result);
    static result_t failed(Failure failure, int error = 0);
};
