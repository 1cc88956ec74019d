// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "diag/diag_data.h"
#include "diag/diag_rs_thread.h"
#include "diag/recording_writer.h"
#include "sim_pty_link.h"
#include "support/thread_manager.h"
#include "temp_dir.h"

namespace {

using namespace std::chrono_literals;

// The real serial code on a pseudo-terminal served by the simulated controller.
class PtyLiveTest : public ::testing::Test {
  protected:
    PtyLiveTest() : sim(link.simPtr()), device(link.device()) { device.setReadTimeouts({50, 1}); }

    bool waitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 1000 && !condition(); ++i)
            std::this_thread::sleep_for(2ms);
        return condition();
    }

    std::vector<std::string> linesOf(std::size_t count) {
        std::vector<app_msg_t> samples;
        store.getRange(samples, 0, static_cast<int>(count));
        std::vector<std::string> lines;
        for (const auto& s : samples) {
            std::string line = CRecordingWriter::formatLine(s);
            lines.push_back(line.substr(0, line.size() - 2));  // without "\r\n"
        }
        return lines;
    }

    CSimPtyLink link;
    std::shared_ptr<CControllerSim> sim;
    CLPGDevice& device;
    CDiagData store;
    CTempDir dir;
    std::atomic<bool> running{true};
    std::atomic<bool> stopped{false};
    std::atomic<int> injector{2};
    CThreadManager manager;
};

TEST_F(PtyLiveTest, LiveRunFillsTheStoreAndTheFileWithMatchingLines) {
    ASSERT_TRUE(device.connect(1));
    const std::string recording = dir.path("live.lpgd");
    manager.insert(
        new CDiagRSThread(device, store, recording, running, injector, [&] { stopped = true; }));
    ASSERT_TRUE(waitFor([&] { return store.getSize() >= 100; }));
    running = false;
    ASSERT_TRUE(waitFor([&] { return stopped.load(); }));
    manager.joinAll();
    const auto lines = CTempDir::readLines(recording);
    ASSERT_EQ(lines.size(), store.getSize());
    EXPECT_EQ(lines, linesOf(store.getSize()));
}

TEST_F(PtyLiveTest, PullingTheDeviceAwayEndsTheRunAndKeepsTheFile) {
    ASSERT_TRUE(device.connect(1));
    const std::string recording = dir.path("pulled.lpgd");
    manager.insert(
        new CDiagRSThread(device, store, recording, running, injector, [&] { stopped = true; }));
    ASSERT_TRUE(waitFor([&] { return store.getSize() >= 50; }));
    sim->faults().vanish();
    const auto pulled = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitFor([&] { return stopped.load(); }));
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, 1s);
    EXPECT_TRUE(running);  // ended by the failure, not by the owner
    manager.joinAll();
    const auto lines = CTempDir::readLines(recording);
    EXPECT_EQ(lines.size(), store.getSize());
    EXPECT_EQ(lines, linesOf(store.getSize()));
}

// While an EEPROM transfer runs the live worker leaves the line to it, and sampling
// resumes after it.
TEST_F(PtyLiveTest, ATransferHasTheLineToItselfWhileItRuns) {
    ASSERT_TRUE(device.connect(1));
    manager.insert(new CDiagRSThread(device, store, dir.path("live.lpgd"), running, injector));
    ASSERT_TRUE(waitFor([&] { return store.getSize() > 5; }));
    std::array<std::uint8_t, CLPGDevice::kEepromSize> image{};
    ASSERT_TRUE(device.readEeprom(image.data(), 0, image.size()));
    const std::size_t afterTransfer = store.getSize();
    EXPECT_TRUE(waitFor([&] { return store.getSize() > afterTransfer + 5; }));
    running = false;
    manager.joinAll();

    // Between the transfer's first and last block no sample was asked for, but at most
    // the one already waiting for the line.
    const auto requests = sim->requests();
    const auto asks = [](std::uint8_t command) {
        return [command](const sim_request_t& r) {
            return r.type == proto::MSG_TYPE_COMMAND && r.command == command;
        };
    };
    const auto first = std::find_if(requests.begin(), requests.end(), asks(proto::CMD_EEPROM));
    const auto last = std::find_if(requests.rbegin(), requests.rend(), asks(proto::CMD_EEPROM));
    ASSERT_NE(first, requests.end());
    EXPECT_EQ(std::count_if(first, last.base(), asks(proto::CMD_EEPROM)), 64);
    EXPECT_LE(std::count_if(first, last.base(), asks(proto::CMD_DIAG)), 1);
}

}  // namespace
