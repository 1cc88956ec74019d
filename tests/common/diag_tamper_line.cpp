// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag_tamper_line.h"

#include <algorithm>
#include <vector>

#include "link/protocol.h"

using namespace proto;

// The link writes a request in parts (header, payload, check word): it is looked at once
// whole.
int CDiagTamperLine::write(const std::uint8_t* buffer, int n) {
    {
        std::lock_guard lock(mutex_);
        written_.insert(written_.end(), buffer, buffer + n);
        while (!written_.empty() && written_[0] != kStart1) {
            written_.erase(written_.begin());
        }
        if (written_.size() >= kHeaderSize &&
            written_.size() >= kHeaderSize + written_[2] + kCheckSize) {
            const bool diagRequest = written_[1] == kStart2 && written_[3] == MSG_TYPE_COMMAND &&
                                     written_[2] >= kCommandSize &&
                                     written_[kHeaderSize + kCmdCode] == CMD_DIAG;
            injector_ = diagRequest ? getBE16(&written_[kHeaderSize + kCmdParam]) + 1 : 0;
            ready_.clear();
            written_.clear();
        }
    }
    return inner_->write(buffer, n);
}

void CDiagTamperLine::takeReply() {
    std::vector<std::uint8_t> frame(kHeaderSize);
    int got = inner_->read(frame.data(), int(kHeaderSize));
    frame.resize(std::max(got, 0));
    if (got == int(kHeaderSize) && frame[3] == MSG_TYPE_DIAG && frame[2] == kDiagSize) {
        std::vector<std::uint8_t> rest(kDiagSize + kCheckSize);
        got = inner_->read(rest.data(), int(rest.size()));
        if (got == int(rest.size()) && !tamper_(injector_, rest.data())) {
            frame.clear();
        } else if (got == int(rest.size())) {
            frame.resize(kHeaderSize + rest.size());
            buildFrame(MSG_TYPE_DIAG, rest.data(), kDiagSize, frame.data());
        } else {
            frame.insert(frame.end(), rest.begin(), rest.begin() + std::max(got, 0));
        }
    }
    ready_.assign(frame.begin(), frame.end());
    injector_ = 0;
}

int CDiagTamperLine::read(std::uint8_t* buffer, int n) {
    std::unique_lock lock(mutex_);
    if (injector_ != 0 && ready_.empty()) {
        takeReply();
    }
    int got = 0;
    while (got < n && !ready_.empty()) {
        buffer[got++] = ready_.front();
        ready_.pop_front();
    }
    lock.unlock();
    return got < n ? got + inner_->read(buffer + got, n - got) : got;
}

void CDiagTamperLine::purgeIn() {
    {
        std::lock_guard lock(mutex_);
        ready_.clear();
        injector_ = 0;
    }
    inner_->purgeIn();
}
