// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the exchange as the controller's reply.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>

#include "link/i_device_ui.h"
#include "link/lpg_device.h"
#include "support/error_guard.h"

namespace {

// Answers every request from the fuzz input, a slice at a time.
class FuzzLine : public ISerialLine {
  public:
    FuzzLine(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {}
    void open(int) override {}
    void close() override {}
    bool isOpen() const override { return true; }
    void configure() override {}
    void setTimeouts(const serial_timeouts_t&) override {}
    int read(std::uint8_t* buffer, int n) override {
        int got = 0;
        while (got < n && !bytes_.empty()) {
            buffer[got++] = bytes_.front();
            bytes_.pop_front();
        }
        return got;
    }
    int write(const std::uint8_t*, int n) override { return n; }
    // Keep the bytes: the input should reach every attempt.
    void purgeIn() override {
        if (!bytes_.empty())
            bytes_.pop_front();
    }
    void purgeOut() override {}

  private:
    std::deque<std::uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNullDeviceUi ui;
    CLPGDevice device(ui, std::make_unique<FuzzLine>(data, size));
    device.setSleeper([](std::chrono::milliseconds) {});
    ErrorPtr error = catchError([&] {
        std::uint8_t buf[proto::kBufferSize] = {proto::CMD_TEST};
        std::uint8_t length = proto::kCommandSize;
        std::uint8_t type = proto::MSG_TYPE_COMMAND;
        device.exchange(buf, length, type);

        frame_t reply;
        request_rule_t rule;
        rule.attempts = 4;
        rule.replyType = proto::MSG_TYPE_DIAG;
        device.command(proto::CMD_DIAG, 0, rule, reply, proto::kDiagSize);
        rule.unchecked = true;
        device.command(proto::CMD_DIAG, 3, rule, reply, proto::kDiagSize);
    });
    return 0;
}
