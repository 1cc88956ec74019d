// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/console_input.h"

#include <io.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "support/file_io_platform.h"

// The Windows form: a console is waited on as a handle, a pipe is looked into until
// bytes (or its end) are there; a file is always readable.

namespace {

using Clock = std::chrono::steady_clock;

int waitPipe(HANDLE pipe, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
            // A pipe whose writer has gone reads as the end of the input.
            return ::GetLastError() == ERROR_BROKEN_PIPE ? 1 : -1;
        }
        if (available > 0) {
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (Clock::now() < deadline);
    return 0;
}

}  // namespace

int CConsoleInput::waitReadable(int fd, int timeoutMs) {
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    switch (::GetFileType(handle)) {
        case FILE_TYPE_PIPE:
            return waitPipe(handle, timeoutMs);
        case FILE_TYPE_CHAR: {
            const DWORD result = ::WaitForSingleObject(handle, static_cast<DWORD>(timeoutMs));
            return result == WAIT_OBJECT_0 ? 1 : result == WAIT_TIMEOUT ? 0 : -1;
        }
        default:
            return 1;
    }
}

bool CConsoleInput::isTerminal(int fd) {
    return ::_isatty(fd) != 0;
}

bool CConsoleInput::readChar(int fd, char& c) {
    return file_io_platform::readSome(fd, &c, 1) == 1;
}
