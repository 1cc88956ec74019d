#pragma once

#include <cstddef>
#include <string>

#include "support/file_io.h"

// Replaces a file's contents so that readers see either the old or the whole new file:
// the data go to a temporary file in the same folder, are synced, then renamed over it.
// A symbolic link stays a link (the file it points to is replaced), and the replaced
// file keeps its permissions; a new file gets 0666 less the umask.
class CAtomicFile {
  public:
    // ok() only when every byte reached the disk and the file was replaced; refuses to
    // replace anything but a regular file.
    static CFileIo::result_t replace(const std::string& path, const void* data, std::size_t size);

    // The path the file lives at once symbolic links in its last component are
    // followed; a dangling link gives the path it points to. Empty with errno ELOOP for
    // a cycle.
    static std::string followLinks(const std::string& path);
};
