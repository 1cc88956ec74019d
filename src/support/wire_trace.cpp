// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/wire_trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/file_io.h"

std::shared_ptr<CWireTrace> CWireTrace::open(const std::string& path, std::string& problem) {
    CFileIo::result_t status;
    const int fd = CFileIo::openForWriting(path, O_CREAT | O_TRUNC, 0644, status);
    if (fd < 0) {
        problem = "Nie można zapisać śladu komunikacji w pliku " + path + "\n" +
                  CFileIo::describe(status);
        return nullptr;
    }
    std::shared_ptr<CWireTrace> trace(new CWireTrace(fd));
    trace->writeLine(kHeader, false);
    return trace;
}

std::string CWireTrace::pathFromEnvironment() {
    const char* path = std::getenv("VAPRON_TRACE");
    return path ? path : "";
}

CWireTrace::CWireTrace(int fd) : fd_(fd) {}

CWireTrace::~CWireTrace() {
    ::close(fd_);
}

void CWireTrace::bytes(Direction direction, int type, const std::uint8_t* data, std::size_t size) {
    std::string line = direction == Direction::Sent ? "> " : "< ";
    line += type < 0 ? "-" : std::to_string(type);
    line += " " + std::to_string(size);
    char hex[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", data[i]);
        line += hex;
    }
    writeLine(line);
}

void CWireTrace::event(const std::string& text) {
    writeLine(text);
}

void CWireTrace::writeLine(const std::string& text, bool stamped) {
    std::lock_guard lock(mutex_);
    std::string line;
    if (stamped) {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%.3f ",
                      std::chrono::duration<double, std::milli>(elapsed).count());
        line = stamp;
    }
    line += text + "\n";
    // A trace that can no longer be written must not stop the session it describes.
    (void)CFileIo::writeAll(fd_, line.data(), line.size());
}
