#include "scripted_line.h"

#include <algorithm>
#include <string>

#include "link/protocol.h"
#include "support/rs_error.h"

void CScriptedLine::open(int port) {
    if (std::find(missingPorts.begin(), missingPorts.end(), port) != missingPorts.end()) {
        throw new CRSError(CRSError::ERR_RS_OPEN,
                           "CSerialPort::open(" + std::to_string(port) + ") - GetLastError()=2",
                           __LINE__, __FILE__);
    }
    opened.push_back(port);
    open_ = true;
}

int CScriptedLine::read(std::uint8_t* buffer, int n) {
    if (failRead_) {
        failRead_ = false;
        throw new CRSError(CRSError::ERR_RS_OPERATION, "CSerialPort::read() - GetLastError()=5",
                           __LINE__, __FILE__);
    }
    int got = 0;
    while (got < n && !incoming_.empty()) {
        buffer[got++] = incoming_.front();
        incoming_.pop_front();
    }
    return got;
}

int CScriptedLine::write(const std::uint8_t* buffer, int n) {
    pending_.insert(pending_.end(), buffer, buffer + n);
    takeRequest();
    return n;
}

void CScriptedLine::takeRequest() {
    if (pending_.size() < proto::kHeaderSize) {
        return;
    }
    const std::size_t whole = proto::kHeaderSize + pending_[2] + proto::kCheckSize;
    if (pending_.size() < whole) {
        return;
    }
    bytes_t request(pending_.begin(), pending_.begin() + static_cast<long>(whole));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(whole));
    requests.push_back(request);
    bytes_t reply;
    if (!replies_.empty()) {
        reply = std::move(replies_.front());
        replies_.pop_front();
    } else if (responder_) {
        reply = responder_(request);
    }
    inject(reply);
}

bytes_t frameBytes(std::uint8_t type, const bytes_t& payload) {
    bytes_t frame(proto::kHeaderSize + payload.size() + proto::kCheckSize);
    proto::buildFrame(type, payload.data(), static_cast<std::uint8_t>(payload.size()),
                      frame.data());
    return frame;
}

bytes_t commandReply(std::uint8_t code, std::uint16_t parameter, std::uint16_t status) {
    return frameBytes(
        proto::MSG_TYPE_COMMAND,
        {code, 0, static_cast<std::uint8_t>(parameter >> 8), static_cast<std::uint8_t>(parameter),
         static_cast<std::uint8_t>(status >> 8), static_cast<std::uint8_t>(status)});
}
