// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripted_line.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "link/protocol.h"
#include "link/serial_errors.h"
#include "support/rs_error.h"

void CScriptedLine::open(int port) {
    if (std::find(missingPorts.begin(), missingPorts.end(), port) != missingPorts.end()) {
        throw new CRSError(
            CRSError::ERR_RS_OPEN,
            serial_errors::message("open(" + std::to_string(port) + ")", "skrypt", ENOENT, {}),
            __LINE__, __FILE__);
    }
    opened.push_back(port);
    open_ = true;
}

int CScriptedLine::read(std::uint8_t* buffer, int n) {
    if (failRead_) {
        failRead_ = false;
        throw new CRSError(CRSError::ERR_RS_OPERATION,
                           serial_errors::message("read()", "skrypt", EIO, {}), __LINE__, __FILE__);
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
