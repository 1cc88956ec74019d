// SPDX-License-Identifier: GPL-3.0-or-later
// vapron-cli writes UTF-8; a Windows console shows it as such only when told, and puts
// its own code page back when the program ends.
#include <windows.h>

namespace {

struct console_utf8_t {
    UINT before = ::GetConsoleOutputCP();
    console_utf8_t() { ::SetConsoleOutputCP(CP_UTF8); }
    ~console_utf8_t() { ::SetConsoleOutputCP(before); }
};

const console_utf8_t g_consoleUtf8;

}  // namespace
