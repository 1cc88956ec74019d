#include "link/lpg_device.h"

#include <cstring>
#include <mutex>
#include <thread>

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
    timeouts_ = timeouts;
    line_->setTimeouts(timeouts_);
}

void CLPGDevice::pause(std::chrono::milliseconds duration) {
    if (duration.count() <= 0) {
        return;
    }
    if (sleeper_) {
        sleeper_(duration);
    } else {
        std::this_thread::sleep_for(duration);
    }
}

bool CLPGDevice::exchange(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type) {
    return exchangeFrame(buf, length, type, true);
}

bool CLPGDevice::exchangeUnchecked(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type) {
    return exchangeFrame(buf, length, type, false);
}

bool CLPGDevice::exchangeFrame(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type,
                               bool checkStatus) {
    std::lock_guard<CMutex> hold(mutex_);
    // Whatever waits in the receive buffer answers an earlier request (a reply that came
    // after its time-out, a reply sent twice); it must not answer this one.
    line_->purgeIn();

    const std::uint8_t header[kHeaderSize] = {kStart1, kStart2, length, type};
    const std::uint16_t check = checkWord(length, type, buf);
    const std::uint8_t checkBytes[kCheckSize] = {static_cast<std::uint8_t>(check >> 8),
                                                 static_cast<std::uint8_t>(check)};
    swapPayloadOrder(type, buf, length);
    line_->write(header, kHeaderSize);
    line_->write(buf, length);
    line_->write(checkBytes, kCheckSize);

    // After a malformed or missing reply whatever is left, or still on its way, would
    // only misalign the next attempt's header, so it is dropped.
    auto malformed = [this] {
        settleLine();
        unsettled_ = true;
        return false;
    };
    std::uint8_t reply[kHeaderSize];
    if (line_->read(reply, kHeaderSize) < static_cast<int>(kHeaderSize)) {
        return malformed();
    }
    if (reply[0] != kStart1 || reply[1] != kStart2) {
        return malformed();
    }
    const std::uint8_t replyLength = reply[2];
    const std::uint8_t replyType = reply[3];
    std::memset(buf, 0, kBufferSize);
    const int expected = replyLength + static_cast<int>(kCheckSize);
    if (line_->read(buf, expected) < expected) {
        return malformed();
    }
    if (getBE16(buf + replyLength) != checkWord(replyLength, replyType, buf)) {
        return malformed();
    }
    // The missing bytes of a short record would read as zeros and its check word as
    // data; such a reply is no answer.
    if (replyLength < recordSize(replyType)) {
        return malformed();
    }
    // After a failed attempt the late answer to it may come first, with this attempt's
    // own answer right behind; that one must not answer the next request.
    if (unsettled_) {
        settleLine();
        unsettled_ = false;
    }
    length = replyLength;
    type = replyType;
    swapPayloadOrder(replyType, buf, replyLength);

    if (!checkStatus || replyType != MSG_TYPE_COMMAND) {
        return true;
    }
    const std::uint16_t status = getU16(buf + kCmdStatus);
    if (status == 0) {
        return true;
    }
    handleStoredErrors(status);
    return (status & ~STATUS_STORED_ERRORS) == 0;
}

void CLPGDevice::settleLine() {
    struct restore_t {
        ISerialLine& line;
        const serial_timeouts_t& timeouts;
        ~restore_t() { line.setTimeouts(timeouts); }
    } restore{*line_, timeouts_};
    line_->setTimeouts({timeouts_.quietMs, 0, timeouts_.quietMs});
    std::uint8_t scrap[64];
    for (int round = 0; round < kSettleRounds && line_->read(scrap, sizeof scrap) > 0; ++round) {
    }
    line_->purgeIn();
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
        if (exchangeFrame(nested, length, type, false) && type == MSG_TYPE_ERRORS) {
            report_t report{};
            std::memcpy(report.data(), nested, report.size());
            text += decodeReport(report);
        }
    }
    ui_.statusText(text);
}

bool CLPGDevice::request(const std::uint8_t* payload, std::uint8_t length, std::uint8_t type,
                         const request_rule_t& rule, frame_t& reply) {
    for (int attempt = 0; attempt < rule.attempts; ++attempt) {
        pause(rule.pause);
        reply.buf.fill(0);
        if (length > 0) {
            std::memcpy(reply.buf.data(), payload, length);
        }
        reply.length = length;
        reply.type = type;
        const bool ok = rule.unchecked
                            ? exchangeUnchecked(reply.buf.data(), reply.length, reply.type)
                            : exchange(reply.buf.data(), reply.length, reply.type);
        if (!ok) {
            continue;
        }
        if (reply.type != rule.replyType) {
            if (rule.stopOnOtherType) {
                return false;
            }
            continue;
        }
        if (rule.needDone && reply.buf[kCmdCode] != CMD_DONE) {
            continue;
        }
        if (rule.matches && !rule.matches(reply)) {
            continue;
        }
        return true;
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
