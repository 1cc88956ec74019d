// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <variant>

#include "support/file_io.h"

// One open file, owned: closed when the handle goes (or earlier by close(), which says
// whether the system took the last writes), never twice, and moved rather than copied.
// Opening gives the handle or why there is none, with the checks of CFileIo: no
// blocking on a FIFO, only regular files unless a stream is allowed, nothing truncated
// before it is known to be a file. The system calls are file_io_platform's.
class CFileHandle {
  public:
    // How a file is opened for writing.
    enum class Write {
        CreateTruncate,    // made if missing, emptied if not
        CreateAppend,      // made if missing, every write at its end
        TruncateExisting,  // emptied; a missing file stays missing
        CreateNew,         // made, and refused (EEXIST) when the name is taken
    };
    // Who may write a file the open makes, before the umask takes its part.
    enum class Permissions {
        Document,     // everyone, as for any document (0666)
        OwnerWrites,  // the owner; others read (0644)
    };
    struct opened_t;

    CFileHandle() = default;
    // Takes over a descriptor opened some other way (a pipe's end).
    explicit CFileHandle(int descriptor) : fd_(descriptor) {}
    CFileHandle(CFileHandle&& other) noexcept;
    CFileHandle& operator=(CFileHandle&& other) noexcept;
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    ~CFileHandle();

    // In blocking mode once open, whatever the source.
    static opened_t openForReading(const std::string& path,
                                   CFileIo::Source source = CFileIo::Source::RegularFile);
    static opened_t openForWriting(const std::string& path, Write mode,
                                   Permissions permissions = Permissions::Document);

    bool isOpen() const { return fd_ >= 0; }
    // For the platform forms' own calls on the file (fsync, fchmod); -1 when closed.
    int descriptor() const { return fd_; }
    // False with errno set when the system reports a failure (a write it could not
    // finish); true for a handle with nothing open.
    bool close();

    // Every byte, carried on after signals and partial writes; false with errno set.
    bool write(const void* data, std::size_t size);
    // Until `size` bytes or the end of the file, carried on after signals; the count, or
    // -1 with errno set.
    std::ptrdiff_t read(void* buffer, std::size_t size);
    // The same from `offset`, leaving the position to other readers, so threads may read
    // one handle at once (on Windows it moves it: keep such reads apart from read()).
    std::ptrdiff_t readAt(void* buffer, std::size_t size, long long offset) const;
    // The size of a regular file, past 2 GB too; -1 for a stream.
    long long size() const;
    // Moves to `offset` from the start, past 2 GB too; false with errno set.
    bool seek(long long offset);
    // Cuts the file back to `size` bytes; false with errno set.
    bool truncate(long long size);

  private:
    std::ptrdiff_t readFrom(void* buffer, std::size_t size, long long offset) const;

    int fd_ = -1;
};

// An open file, or why none could be opened: never both.
struct CFileHandle::opened_t {
    std::variant<CFileHandle, CFileIo::result_t> value;

    bool ok() const { return std::holds_alternative<CFileHandle>(value); }
    // The open file; only when ok().
    CFileHandle& file() { return std::get<CFileHandle>(value); }
    // Why there is no file (ok() when there is one).
    CFileIo::result_t status() const {
        return ok() ? CFileIo::result_t{} : std::get<CFileIo::result_t>(value);
    }
};
