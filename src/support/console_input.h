// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Waiting for what the user types (a terminal, a console or a pipe from a script)
// without blocking, so a question can end when the command is cancelled.
class CConsoleInput {
  public:
    // 1 when a read of `fd` would not block, 0 after `timeoutMs` without input, -1 on
    // an error.
    static int waitReadable(int fd, int timeoutMs);
    // One byte of the input, carried on after signals; false at its end or on an error.
    static bool readChar(int fd, char& c);
    // True when `fd` is a terminal or console a person reads.
    static bool isTerminal(int fd);
};
