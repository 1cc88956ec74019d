// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/traced_line.h"

#include <string>

#include "link/protocol.h"

namespace {

// Where the next frame start (AA 55, or a last AA that may become one) begins.
std::size_t nextStart(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == proto::kStart1 &&
            (i + 1 == bytes.size() || bytes[i + 1] == proto::kStart2)) {
            return i;
        }
    }
    return bytes.size();
}

}  // namespace

CTracedLine::CTracedLine(std::unique_ptr<ISerialLine> inner, std::shared_ptr<CWireTrace> trace)
    : inner_(std::move(inner)), trace_(std::move(trace)) {}

CTracedLine::~CTracedLine() {
    flush(sent_);
    flush(received_);
    if (inner_->isOpen()) {
        trace_->event("close");  // the port closes with the line
    }
}

ISerialLine& CTracedLine::untraced(ISerialLine& line) {
    auto* traced = dynamic_cast<CTracedLine*>(&line);
    return traced ? traced->inner() : line;
}

void CTracedLine::open(int port) {
    try {
        inner_->open(port);
    } catch (...) {
        trace_->event("open " + std::to_string(port) + " failed");
        throw;
    }
    trace_->event("open " + std::to_string(port));
}

void CTracedLine::close() {
    flush(sent_);
    flush(received_);
    inner_->close();
    trace_->event("close");
}

void CTracedLine::setTimeouts(const serial_timeouts_t& timeouts) {
    inner_->setTimeouts(timeouts);
}

int CTracedLine::read(std::uint8_t* buffer, int n) {
    const int got = inner_->read(buffer, n);
    feed(received_, buffer, got);
    if (got < n) {
        flush(received_);
        trace_->event("timeout " + std::to_string(n) + " " + std::to_string(got));
    }
    return got;
}

int CTracedLine::write(const std::uint8_t* buffer, int n) {
    const int written = inner_->write(buffer, n);
    feed(sent_, buffer, written);
    return written;
}

void CTracedLine::purgeIn() {
    flush(received_);
    inner_->purgeIn();
    trace_->event("purge in");
}

void CTracedLine::purgeOut() {
    flush(sent_);
    inner_->purgeOut();
    trace_->event("purge out");
}

void CTracedLine::feed(cutter_t& cutter, const std::uint8_t* data, int size) {
    if (size <= 0) {
        return;
    }
    auto& pending = cutter.pending;
    pending.insert(pending.end(), data, data + size);
    while (!pending.empty()) {
        const std::size_t start = nextStart(pending);
        if (start > 0) {
            trace_->bytes(cutter.direction, -1, pending.data(), start);
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(start));
            continue;
        }
        if (pending.size() < proto::kHeaderSize - 1) {
            return;
        }
        const std::size_t whole = proto::kHeaderSize + pending[2] + proto::kCheckSize;
        if (pending.size() < whole) {
            return;
        }
        trace_->bytes(cutter.direction, pending[3], pending.data(), whole);
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(whole));
    }
}

void CTracedLine::flush(cutter_t& cutter) {
    if (!cutter.pending.empty()) {
        trace_->bytes(cutter.direction, -1, cutter.pending.data(), cutter.pending.size());
        cutter.pending.clear();
    }
}

std::int64_t CTracedLine::clockUs() const {
    return inner_->clockUs();
}
