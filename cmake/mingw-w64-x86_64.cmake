# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building the core, vapron-cli and the core's tests for 64-bit Windows with
# Debian's MinGW-w64 (the posix thread model, which std::thread needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VAPRON_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VAPRON_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VAPRON_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VAPRON_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VAPRON_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs carry the compiler's runtime, so they run from any folder (and under
# Wine) without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests run through Wine when this machine runs them.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
