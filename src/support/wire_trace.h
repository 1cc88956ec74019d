// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "support/file_handle.h"

// A wire trace for bug reports: one text line per frame sent or received and per event
// of the port, each stamped with the monotonic time in milliseconds since the trace
// began, written and flushed as it happens so a crash keeps what came before:
//
//   # vapron wire trace: ms direction type length bytes
//   0.000 open 1
//   0.130 > 4 12 AA 55 06 04 04 00 00 00 00 00 00 0E
//   3.905 < 4 12 AA 55 06 04 04 00 00 00 00 00 00 0E
//   510.274 < - 3 01 02 03          bytes that are not a whole frame
//   511.002 timeout 12 3            a read wanted 12 bytes and got 3
//   511.010 purge in
//
// All operations may be called from any thread. Nothing is traced unless one is made.
class CWireTrace {
  public:
    enum class Direction { Sent, Received };
    static constexpr const char* kHeader = "# vapron wire trace: ms direction type length bytes";

    // Starts a trace in `path` (replaced); null with `problem` set (Polish) when the file
    // cannot be written.
    static std::shared_ptr<CWireTrace> open(const std::string& path, std::string& problem);
    // The file named by VAPRON_TRACE, or none when it is not set or empty.
    static std::string pathFromEnvironment();
    CWireTrace(const CWireTrace&) = delete;
    CWireTrace& operator=(const CWireTrace&) = delete;

    // A whole frame (`type` is its type byte) or, with type < 0, bytes that are none.
    void bytes(Direction direction, int type, const std::uint8_t* data, std::size_t size);
    void event(const std::string& text);

  private:
    explicit CWireTrace(CFileHandle file);
    void writeLine(const std::string& text, bool stamped = true);

    std::mutex mutex_;
    CFileHandle file_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
