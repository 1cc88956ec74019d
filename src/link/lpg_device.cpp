// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/lpg_device.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <thread>

#include "link/request_cancel.h"
#include "link/window_thread.h"

using namespace proto;

namespace {

// A line that keeps talking longer than this many reads of 64 bytes is left to the purge.
constexpr int kSettleRounds = 16;

constexpr const char* kStatusTexts[] = {
    "Nieznany typ komendy | ", "Nieznany typ ramki | ", "Brak nagłówka ramki | ", "Błąd CRC | ",
    "Błąd dodatkowy:\n",
};

}  // namespace

CLPGDevice::CLPGDevice(IDeviceUi& ui, std::unique_ptr<ISerialLine> line)
    : ui_(ui), line_(std::move(line)) {
    line_->setTimeouts(timeouts_);
}

CLPGDevice::~CLPGDevice() = default;

void CLPGDevice::setReadTimeouts(const serial_timeouts_t& timeouts) {
    std::lock_guard<CFairMutex> hold(mutex_);
    timeouts_ = timeouts;
    replyTimer_ = CReplyTimer(timeouts.constantMs);
    line_->setTimeouts(timeouts_);
}

int CLPGDevice::replyWaitMs() const {
    return replyTimer_.waitMs();
}

serial_timeouts_t CLPGDevice::replyTimeouts() const {
    serial_timeouts_t timeouts = timeouts_;
    timeouts.constantMs = replyTimer_.waitMs();
    return timeouts;
}

void CLPGDevice::pause(std::chrono::milliseconds duration) {
    // A procedure that can be stopped waits in slices short enough for a stop to be
    // noticed at once.
    constexpr std::chrono::milliseconds kSlice{50};
    while (duration.count() > 0 && !CRequestCancel::requested()) {
        const auto slice = CRequestCancel::active() ? std::min(duration, kSlice) : duration;
        if (sleeper_) {
            sleeper_(slice);
        } else {
            std::this_thread::sleep_for(slice);
        }
        duration -= slice;
    }
}

bool CLPGDevice::exchange(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type,
                          const request_rule_t* expected) {
    return exchangeFrame(buf, length, type, true, expected);
}

bool CLPGDevice::exchangeUnchecked(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type,
                                   const request_rule_t* expected) {
    return exchangeFrame(buf, length, type, false, expected);
}

bool CLPGDevice::accepts(const request_rule_t& rule, const frame_t& reply) {
    if (reply.type != rule.replyType) {
        return false;
    }
    if (rule.needDone && reply.buf[kCmdCode] != CMD_DONE) {
        return false;
    }
    return !rule.matches || rule.matches(reply);
}

CLPGDevice::ReadResult CLPGDevice::readFrame(frame_t& frame, bool quiet) {
    std::uint8_t header[kHeaderSize];
    int got = 0;
    if (quiet) {
        line_->setTimeouts({timeouts_.quietMs, 0, timeouts_.quietMs});
        got = line_->read(header, kHeaderSize);
        line_->setTimeouts(replyTimeouts());
        if (got == 0) {
            return ReadResult::None;
        }
        if (got < static_cast<int>(kHeaderSize)) {
            // The rest of a header comes at line speed, not after a quiet spell.
            got += line_->read(header + got, static_cast<int>(kHeaderSize) - got);
        }
    } else {
        got = line_->read(header, kHeaderSize);
        if (got == 0) {
            return ReadResult::None;
        }
    }
    if (got < static_cast<int>(kHeaderSize) || header[0] != kStart1 || header[1] != kStart2) {
        return ReadResult::Bad;
    }
    frame.length = header[2];
    frame.type = header[3];
    frame.buf.fill(0);
    const int expected = frame.length + static_cast<int>(kCheckSize);
    if (line_->read(frame.buf.data(), expected) < expected) {
        return ReadResult::Bad;
    }
    if (getBE16(frame.buf.data() + frame.length) !=
        checkWord(frame.length, frame.type, frame.buf.data())) {
        return ReadResult::Bad;
    }
    // The missing bytes of a short record would read as zeros and its check word as
    // data; such a reply is no answer.
    if (frame.length < recordSize(frame.type)) {
        return ReadResult::Bad;
    }
    swapPayloadOrder(frame.type, frame.buf.data(), frame.length);
    return ReadResult::Frame;
}

CLPGDevice::ReadResult CLPGDevice::readBehind(frame_t& frame) {
    struct restore_t {
        ISerialLine& line;
        serial_timeouts_t timeouts;
        ~restore_t() { line.setTimeouts(timeouts); }
    } restore{*line_, replyTimeouts()};
    return readFrame(frame, true);
}

bool CLPGDevice::exchangeFrame(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type,
                               bool checkStatus, const request_rule_t* expected) {
    CWindowThread::refuseExchange("CLPGDevice::exchangeFrame()");
    std::lock_guard<CFairMutex> hold(mutex_);
    // Whatever waits in the receive buffer answers an earlier request (a reply that came
    // after its time-out, a reply sent twice); it must not answer this one.
    line_->purgeIn();
    line_->setTimeouts(replyTimeouts());

    const std::uint16_t check = checkWord(length, type, buf);
    swapPayloadOrder(type, buf, length);
    // The frame goes out in one write: one system call, and one USB packet on an adapter.
    std::array<std::uint8_t, kHeaderSize + 255 + kCheckSize> frame{kStart1, kStart2, length, type};
    std::copy(buf, buf + length, frame.begin() + kHeaderSize);
    frame[kHeaderSize + length] = static_cast<std::uint8_t>(check >> 8);
    frame[kHeaderSize + length + 1] = static_cast<std::uint8_t>(check);
    line_->write(frame.data(), static_cast<int>(kHeaderSize + length + kCheckSize));
    const std::int64_t sentUs = line_->clockUs();

    auto malformed = [this] { return failed(false); };
    frame_t first;
    if (const ReadResult read = readFrame(first, false); read != ReadResult::Frame) {
        return failed(read == ReadResult::None);
    }
    replyTimer_.replied(static_cast<int>((line_->clockUs() - sentUs) / 1000));
    ++framesSeen_;  // the controller is there, whatever this frame answers
    // An answer that came too late for its own request goes out just ahead of the answer
    // to the next one. Replies carry no request identity, so the rule is positional: of
    // two frames back to back, the later one answers. Only a failed attempt before, or a
    // frame this request does not expect, makes it worth waiting to see.
    if (unsettled_ || (expected && !accepts(*expected, first))) {
        frame_t second;
        const ReadResult behind = readBehind(second);
        if (behind == ReadResult::Bad) {
            return malformed();
        }
        if (behind == ReadResult::Frame) {
            first = second;
            ++lateFrames_;
        } else if (first.type == MSG_TYPE_DIAG && unsettled_) {
            // A lone sample after a failed request may be that request's, late: an older
            // sample taken for this one. It costs one exchange to ask again.
            unsettled_ = false;
            ++lateFrames_;
            return false;
        }
        unsettled_ = false;
    }
    std::memcpy(buf, first.buf.data(), kBufferSize);
    length = first.length;
    type = first.type;
    if (replyHook_) {
        replyHook_();
    }

    if (!checkStatus || type != MSG_TYPE_COMMAND) {
        return true;
    }
    const std::uint16_t status = getU16(buf + kCmdStatus);
    if (status == 0) {
        return true;
    }
    handleStoredErrors(status);
    return (status & ~STATUS_STORED_ERRORS) == 0;
}

// After a malformed or missing reply whatever is left, or still on its way, would only
// misalign the next attempt's header, so it is dropped. When the wait was a learned one,
// the controller may merely be slower than learned: its reply would then come in the
// next request's time and answer it (an acknowledgement names no request). So the line
// is watched for as long again; a reply seen there brings the full time-out back.
bool CLPGDevice::failed(bool silent) {
    const bool learned = silent && replyTimer_.learned();
    if (silent) {
        replyTimer_.timedOut();
    }
    const int watchMs = learned ? replyTimer_.waitMs() : timeouts_.quietMs;
    if (settleLine(std::max(watchMs, timeouts_.quietMs)) && learned) {
        replyTimer_.lateReply();
    }
    unsettled_ = true;
    return false;
}

bool CLPGDevice::settleLine(int firstQuietMs) {
    struct restore_t {
        ISerialLine& line;
        serial_timeouts_t timeouts;
        ~restore_t() { line.setTimeouts(timeouts); }
    } restore{*line_, replyTimeouts()};
    std::uint8_t scrap[64];
    line_->setTimeouts({firstQuietMs, 0, timeouts_.quietMs});
    const bool arrived = line_->read(scrap, 1) > 0;  // returns as soon as anything comes
    line_->setTimeouts({timeouts_.quietMs, 0, timeouts_.quietMs});
    for (int round = 1; arrived && round < kSettleRounds && line_->read(scrap, sizeof scrap) > 0;
         ++round) {
    }
    line_->purgeIn();
    return arrived;
}

// Composes the status text; with stored errors it turns the error indicator on and asks
// for the report while the exchange mutex is still held.
void CLPGDevice::handleStoredErrors(std::uint16_t status) {
    std::string text;
    for (unsigned bit = 0; bit < std::size(kStatusTexts); ++bit) {
        if (status & (1u << bit)) {
            text += kStatusTexts[bit];
        }
    }
    if (status & STATUS_STORED_ERRORS) {
        ui_.showControllerError(true);
        std::uint8_t nested[kBufferSize] = {};
        nested[kCmdCode] = CMD_ERROR;
        std::uint8_t length = kCommandSize;
        std::uint8_t type = MSG_TYPE_COMMAND;
        // Unchecked: a controller that answers this request with status bit 4 again must
        // not start another nested request.
        if (exchangeFrame(nested, length, type, false, nullptr) && type == MSG_TYPE_ERRORS) {
            report_t report{};
            std::memcpy(report.data(), nested, report.size());
            text += decodeReport(report);
        }
    }
    ui_.statusText(text);
}

bool CLPGDevice::request(const std::uint8_t* payload, std::uint8_t length, std::uint8_t type,
                         const request_rule_t& rule, frame_t& reply) {
    operation_scope_t running(*this);
    for (int attempt = 0; attempt < rule.attempts; ++attempt) {
        pause(rule.pause);
        if (CRequestCancel::requested()) {
            return false;
        }
        reply.buf.fill(0);
        if (length > 0) {
            std::memcpy(reply.buf.data(), payload, length);
        }
        reply.length = length;
        reply.type = type;
        const bool ok = rule.unchecked
                            ? exchangeUnchecked(reply.buf.data(), reply.length, reply.type, &rule)
                            : exchange(reply.buf.data(), reply.length, reply.type, &rule);
        if (!ok) {
            continue;
        }
        if (accepts(rule, reply)) {
            return true;
        }
        if (reply.type != rule.replyType && rule.stopOnOtherType) {
            return false;
        }
    }
    return false;
}

bool CLPGDevice::command(std::uint8_t code, std::uint16_t parameter, const request_rule_t& rule,
                         frame_t& reply, std::uint8_t length) {
    std::uint8_t payload[kBufferSize] = {};
    payload[kCmdCode] = code;
    putU16(payload + kCmdParam, parameter);
    return request(payload, length, MSG_TYPE_COMMAND, rule, reply);
}
