// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/console_input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>

#include "support/interrupt.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

int makePipe(int ends[2]) {
#ifdef _WIN32
    return ::_pipe(ends, 64, _O_BINARY);
#else
    return ::pipe(ends);
#endif
}

TEST(ConsoleInputTest, APipeIsReadableOnceItHoldsBytesOrItsWriterHasGone) {
    int ends[2];
    ASSERT_EQ(makePipe(ends), 0);
    EXPECT_EQ(CConsoleInput::waitReadable(ends[0], 20), 0);
    ASSERT_EQ(::write(ends[1], "y\n", 2), 2);
    EXPECT_EQ(CConsoleInput::waitReadable(ends[0], 20), 1);
    char answer[2];
    ASSERT_EQ(::read(ends[0], answer, 2), 2);
    ::close(ends[1]);
    EXPECT_EQ(CConsoleInput::waitReadable(ends[0], 1000), 1);  // the end of the input
    ::close(ends[0]);
}

#ifndef _WIN32
// On Windows the console's control handler takes Ctrl+C; Wine gives a test no console.
TEST(InterruptTest, CtrlCSetsTheFlagOnlyWhileTheGuardLives) {
    std::atomic<bool> running{true};
    {
        CInterrupt guard(running, false);
        std::raise(SIGINT);
        EXPECT_FALSE(running);
    }
    EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
}
#endif

}  // namespace
