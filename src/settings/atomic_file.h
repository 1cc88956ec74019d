#pragma once

#include <cstddef>
#include <string>

// Replaces a file's contents so that readers see either the old or the whole new file:
// the data go to a temporary file in the same folder, are synced, then renamed over it.
class CAtomicFile {
  public:
    // True only when every byte reached the disk and the file was replaced.
    static bool replace(const std::string& path, const void* data, std::size_t size);
};
