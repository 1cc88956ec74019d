// SPDX-License-Identifier: GPL-3.0-or-later
#include "unconfirming_controller.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "link/protocol.h"
#include "sim/frame_assembler.h"

CUnconfirmingController::CUnconfirmingController() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    path_ = name;
    holder_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (holder_ < 0 || ::tcgetattr(holder_, &tio) != 0) {
        throw std::runtime_error("cannot open " + path_);
    }
    ::cfmakeraw(&tio);
    ::tcsetattr(holder_, TCSANOW, &tio);
    thread_ = std::thread(&CUnconfirmingController::serve, this);
}

CUnconfirmingController::~CUnconfirmingController() {
    stopping_ = true;
    thread_.join();
    ::close(holder_);
    ::close(master_);
}

void CUnconfirmingController::serve() {
    CFrameAssembler frames;
    std::uint8_t buffer[512];
    while (!stopping_) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, 20) <= 0 || !(pfd.revents & POLLIN)) {
            continue;
        }
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count <= 0) {
            continue;
        }
        frames.feed(buffer, static_cast<std::size_t>(count));
        std::vector<std::uint8_t> frame;
        while (frames.next(frame)) {
            std::vector<std::uint8_t> reply = sim_.handle(frame);
            if (frame.size() > 3 && frame[3] == proto::MSG_TYPE_SETUP && !reply.empty()) {
                reply.back() ^= 0xFF;  // a bad check word: the write is not confirmed
            }
            (void)!::write(master_, reply.data(), reply.size());
        }
    }
}
