// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/console_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "support/file_io_platform.h"

int CConsoleInput::waitReadable(int fd, int timeoutMs) {
    pollfd input{fd, POLLIN, 0};
    const int ready = ::poll(&input, 1, timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? 0 : -1;
    }
    return ready > 0 ? 1 : 0;
}

bool CConsoleInput::isTerminal(int fd) {
    return ::isatty(fd) != 0;
}

bool CConsoleInput::readChar(int fd, char& c) {
    return file_io_platform::readSome(fd, &c, 1) == 1;
}
