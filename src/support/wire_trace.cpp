// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/wire_trace.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

std::shared_ptr<CWireTrace> CWireTrace::open(const std::string& path, std::string& problem) {
    auto opened = CFileHandle::openForWriting(path, CFileHandle::Write::CreateTruncate,
                                              CFileHandle::Permissions::OwnerWrites);
    if (!opened.ok()) {
        problem = "Nie można zapisać śladu komunikacji w pliku " + path + "\n" +
                  CFileIo::describe(opened.status());
        return nullptr;
    }
    std::shared_ptr<CWireTrace> trace(new CWireTrace(std::move(opened.file())));
    trace->writeLine(kHeader, false);
    return trace;
}

std::string CWireTrace::pathFromEnvironment() {
    const char* path = std::getenv("VAPRON_TRACE");
    return path ? path : "";
}

CWireTrace::CWireTrace(CFileHandle file) : file_(std::move(file)) {}

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
    (void)file_.write(line.data(), line.size());
}
