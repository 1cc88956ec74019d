// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/frame_assembler.h"

#include "link/protocol.h"

void CFrameAssembler::feed(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        take(data[i]);
    }
}

void CFrameAssembler::take(std::uint8_t byte) {
    if (partial_.empty()) {
        if (byte == proto::kStart1) {
            partial_.push_back(byte);
        }
        return;
    }
    if (partial_.size() == 1) {
        if (byte == proto::kStart2) {
            partial_.push_back(byte);
        } else if (byte != proto::kStart1) {
            partial_.clear();  // a repeated AA may still start the frame
        }
        return;
    }
    partial_.push_back(byte);
    if (partial_.size() > 2 &&
        partial_.size() == proto::kHeaderSize + partial_[2] + proto::kCheckSize) {
        complete_.push_back(std::move(partial_));
        partial_.clear();
    }
}

bool CFrameAssembler::next(std::vector<std::uint8_t>& frame) {
    if (complete_.empty()) {
        return false;
    }
    frame = std::move(complete_.front());
    complete_.pop_front();
    return true;
}
