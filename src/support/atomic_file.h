// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "support/file_handle.h"
#include "support/file_io.h"

// Replaces a file's contents so that readers see either the old or the whole new file:
// the data go to a temporary file in the same folder, are synced, then renamed over it.
// A symbolic link stays a link (the file it points to is replaced), and the replaced
// file keeps its permissions; a new file gets 0666 less the umask.
class CAtomicFile {
  public:
    // The streaming form: the new contents are written piece by piece into the
    // temporary file and take the file's place only at commit(). An object destroyed
    // without a commit removes its temporary file and leaves the file as it was.
    explicit CAtomicFile(const std::string& path);
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;
    ~CAtomicFile();

    // Not ok() when the temporary file could not be made, or after a failed write.
    const CFileIo::result_t& status() const { return status_; }
    bool write(const void* data, std::size_t size);
    // ok() only when every byte reached the disk and the file was replaced.
    CFileIo::result_t commit();

    // ok() only when every byte reached the disk and the file was replaced; refuses to
    // replace anything but a regular file.
    static CFileIo::result_t replace(const std::string& path, const void* data, std::size_t size);

    // The path the file lives at once symbolic links in its last component are
    // followed; a dangling link gives the path it points to. Empty with errno ELOOP for
    // a cycle.
    static std::string followLinks(const std::string& path);

  private:
    void discard();

    std::string target_;
    std::string temp_;
    CFileHandle file_;
    CFileIo::result_t status_;
};
