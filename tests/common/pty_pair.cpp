// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_pair.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <cstdlib>
#include <stdexcept>

CPtyPair::CPtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    slavePath_ = ::ptsname(master_);
    // Raw on the master too, so test bytes pass unchanged.
    termios tio{};
    ::tcgetattr(master_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(master_, TCSANOW, &tio);
}

CPtyPair::~CPtyPair() {
    closeMaster();
}

void CPtyPair::closeMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}
