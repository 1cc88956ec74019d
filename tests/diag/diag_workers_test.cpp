// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "connected_sim.h"
#include "diag/diag_file_thread.h"
#include "diag/diag_rs_thread.h"
#include "diag/recording_writer.h"
#include "file_size_limit.h"
#include "link/lpg_device.h"
#include "recording_device_ui.h"
#include "scripted_line.h"
#include "support/i_error.h"
#include "support/thread_manager.h"
#include "temp_dir.h"

namespace {

using namespace std::chrono_literals;

// A diagnostic reply carrying `s` (16-bit words in line order).
bytes_t diagReply(const app_msg_t& s) {
    bytes_t p(app_msg_t::kPayloadSize);
    const std::uint8_t bytes[] = {s.work_state,    s.lpg_injectors,  s.temp_reducer, s.temp_gas,
                                  s.temp_internal, s.supply,         s.lambda,       s.pressure,
                                  s.pressure2,     s.pressure_intake};
    std::copy(std::begin(bytes), std::end(bytes), p.begin());
    const std::uint16_t words[] = {s.rpm_period, s.time_aux, s.inj_period,  s.gas_time,
                                   s.time_sub,   s.time_add, s.inj_period2, s.gas_time2,
                                   s.time_sub2,  s.time_add2};
    for (std::size_t i = 0; i < std::size(words); ++i) {
        proto::putBE16(&p[10 + 2 * i], words[i]);
    }
    return frameBytes(proto::MSG_TYPE_DIAG, p);
}

app_msg_t reading(int n) {
    app_msg_t s;
    s.work_state = 3;
    s.lpg_injectors = 0x0F;
    s.rpm_period = static_cast<std::uint16_t>(4800 + n);
    s.inj_period = static_cast<std::uint16_t>(4700 + n);
    s.gas_time = static_cast<std::uint16_t>(100 + n);
    s.time_add = 12;
    s.time_sub = 4;
    s.temp_gas = 150;
    s.pressure = 90;
    return s;
}

std::vector<std::string> linesOf(const std::vector<app_msg_t>& samples) {
    std::vector<std::string> lines;
    for (const auto& s : samples) {
        const std::string line = CRecordingWriter::formatLine(s);
        lines.push_back(line.substr(0, line.size() - 2));
    }
    return lines;
}

class DiagWorkerTest : public ::testing::Test {
  protected:
    DiagWorkerTest() {
        auto owned = std::make_unique<CScriptedLine>();
        line = owned.get();
        device = std::make_unique<CLPGDevice>(ui, std::move(owned));
        device->line().open(1);
    }

    CDiagRSThread* live(const std::string& file) {
        return new CDiagRSThread(*device, store, file, running, injector, [this] { ++stopped; });
    }
    // The simulated controller on its own line, opened but not yet identified.
    static CConnectedSim::options_t connectedOpen() {
        CConnectedSim::options_t options;
        options.start = CConnectedSim::Start::Open;
        return options;
    }
    CDiagFileThread* replay(const std::string& file) {
        return new CDiagFileThread(store, file, running, [this] { ++finished; });
    }
    // Polls for the workers to end; a worker that does not end fails the test rather
    // than hanging it.
    bool workersEnd(std::chrono::milliseconds limit = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (manager.running() > 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        manager.joinAll();
        return true;
    }
    std::vector<app_msg_t> stored() const {
        std::vector<app_msg_t> samples;
        store.getRange(samples, 0, INT32_MAX);
        return samples;
    }
    // Answers every diagnostic request with reading(n) and ends the run at request `last`.
    void answerUntil(int last) {
        line->setResponder([this, last](const bytes_t& request) {
            const int n = ++requests;
            parameters.push_back(proto::getBE16(&request[6]));
            if (n == last) {
                running = false;
            }
            return diagReply(reading(n));
        });
    }

    CTempDir dir;
    std::string recording = dir.path("run.lpgd");
    CRecordingDeviceUi ui;
    CScriptedLine* line = nullptr;
    std::unique_ptr<CLPGDevice> device;
    CDiagData store;
    std::atomic<bool> running{true};
    std::atomic<int> injector{2};
    std::atomic<int> stopped{0};
    std::atomic<int> finished{0};
    std::atomic<int> requests{0};
    std::vector<std::uint16_t> parameters;  // touched by the worker only while it runs
    CThreadManager manager;                 // last: joins before the rest goes
};

// Live ------------------------------------------------------------------------------

TEST_F(DiagWorkerTest, LiveRunRecordsIndexedSamplesUntilTheFlagIsCleared) {
    answerUntil(4);
    manager.insert(live(recording));
    ASSERT_TRUE(workersEnd());

    const auto samples = stored();
    ASSERT_EQ(samples.size(), 4u);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        app_msg_t expected = reading(static_cast<int>(i + 1));
        expected.injector = 2;
        expected.colour = 0x00C0F0;
        expected.index = static_cast<std::uint32_t>(i + 1);
        EXPECT_EQ(samples[i], expected) << i;
    }
    EXPECT_EQ(CTempDir::readLines(recording), linesOf(samples));
    EXPECT_EQ(CTempDir::readLines(recording)[0],
              "1\t2\t3\t15\t4801\t4701\t101\t12\t4\t0\t0\t150\t0\t0\t0\t90\t0\t0");
    EXPECT_EQ(parameters, (std::vector<std::uint16_t>{1, 1, 1, 1}));  // injector 2
    EXPECT_EQ(stopped, 1);
    EXPECT_FALSE(running);
}

TEST_F(DiagWorkerTest, SecondEventAndShortTimeBecomeTwoLinesWithFollowingIndexes) {
    line->setResponder([this](const bytes_t&) {
        app_msg_t s = reading(1);
        s.gas_time = 7;  // below 0.2 ms
        s.inj_period2 = 4650;
        s.gas_time2 = 150;
        s.time_sub2 = 5;
        s.time_add2 = 6;
        running = false;
        return diagReply(s);
    });
    manager.insert(live(recording));
    ASSERT_TRUE(workersEnd());
    EXPECT_EQ(CTempDir::readLines(recording),
              (std::vector<std::string>{
                  "1\t2\t3\t15\t4801\t4701\t0\t12\t4\t0\t0\t150\t0\t0\t0\t90\t0\t0",
                  "2\t2\t3\t15\t4801\t4650\t150\t6\t5\t0\t0\t150\t0\t0\t0\t90\t0\t0"}));
    EXPECT_EQ(store.getSize(), 2u);
}

// A failed exchange takes no index, nor does the lone sample right after it (it may be the
// failed request's, late): of every three exchanges here one sample is recorded.
TEST_F(DiagWorkerTest, FailedExchangesTakeNoIndex) {
    line->setResponder([this](const bytes_t&) {
        const int n = ++requests;
        if (n == 9) {
            running = false;
        }
        return n % 3 == 1 ? bytes_t{0x00, 0x13} : diagReply(reading(n));
    });
    manager.insert(live(recording));
    ASSERT_TRUE(workersEnd());
    const auto samples = stored();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].index, 1u);
    EXPECT_EQ(samples[2].index, 3u);
    EXPECT_EQ(samples[2].gas_time, reading(9).gas_time);
}

TEST_F(DiagWorkerTest, ClearingTheFlagFromOutsideEndsTheRunAndReportsIt) {
    line->setResponder([this](const bytes_t&) { return diagReply(reading(++requests)); });
    manager.insert(live(recording));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (store.getSize() < 20 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    running = false;
    ASSERT_TRUE(workersEnd());
    const auto samples = stored();
    ASSERT_GE(samples.size(), 20u);
    EXPECT_EQ(samples.back().index, samples.size());
    EXPECT_EQ(CTempDir::readLines(recording), linesOf(samples));
    EXPECT_EQ(stopped, 1);
}

TEST_F(DiagWorkerTest, SerialFailureEndsTheLiveRunAndKeepsTheRecordingSoFar) {
    line->setResponder([this](const bytes_t&) {
        const int n = ++requests;
        if (n == 3) {
            line->failNextRead();  // the adapter is pulled out
            return bytes_t{};
        }
        return diagReply(reading(n));
    });
    manager.insert(live(recording));
    ASSERT_TRUE(workersEnd(2s));
    EXPECT_EQ(requests, 3);
    EXPECT_EQ(store.getSize(), 2u);
    EXPECT_EQ(CTempDir::readLines(recording).size(), 2u);
    EXPECT_EQ(stopped, 1);
    EXPECT_TRUE(running);  // an error leaves the flag to its owner
}

TEST_F(DiagWorkerTest, ALineThatNeverAnswersDoesNotSpin) {
    line->setResponder([this](const bytes_t&) {
        ++requests;
        return bytes_t{};
    });
    manager.insert(live(recording));
    std::this_thread::sleep_for(30ms);
    running = false;
    ASSERT_TRUE(workersEnd());
    EXPECT_GE(requests, 1);
    EXPECT_LT(requests, 200);  // about one a millisecond, not tens of thousands
    EXPECT_EQ(store.getSize(), 0u);
    EXPECT_EQ(CTempDir::readBytes(recording), "");
}

TEST_F(DiagWorkerTest, StaleInputIsDroppedBeforeTheFirstRequest) {
    line->inject({0x13, 0x37, 0xAA});
    answerUntil(1);
    manager.insert(live(recording));
    ASSERT_TRUE(workersEnd());
    ASSERT_EQ(store.getSize(), 1u);
}

TEST_F(DiagWorkerTest, RecordingAndCompanionAreTruncatedWhenTheRunIsMade) {
    CTempDir::writeBytes(recording, "1\t2\t3\r\n");
    CTempDir::writeBytes(recording + "-config", std::string(1200, '\x04'));
    store.push(reading(1));
    running = false;
    CDiagRSThread* worker = live(recording);
    EXPECT_EQ(CTempDir::readBytes(recording), "");
    EXPECT_EQ(CTempDir::readBytes(recording + "-config"), "");
    manager.insert(worker);
    ASSERT_TRUE(workersEnd());
    EXPECT_EQ(store.getSize(), 0u);  // open clears the store
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(requests, 0);
}

TEST_F(DiagWorkerTest, ARecordingThatCannotBeCreatedEndsTheRunBeforeAnyRequest) {
    answerUntil(100);
    store.push(reading(1));
    manager.insert(live(dir.path("no/such/folder/run.lpgd")));
    ASSERT_TRUE(workersEnd());
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(store.getSize(), 1u);  // open raised before clearing
    EXPECT_EQ(stopped, 1);
    EXPECT_TRUE(running);
}

TEST_F(DiagWorkerTest, AFullDiskEndsTheRunAndTheSampleStillReachesTheStore) {
    answerUntil(100);
    CDiagRSThread* worker = live(recording);
    diag_end_t end;
    worker->setEndHandler([&end](const diag_end_t& told) { end = told; });
    {
        CFileSizeLimit full(0);  // not one byte more fits
        manager.insert(worker);
        ASSERT_TRUE(workersEnd());
    }
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(store.getSize(), 1u);
    EXPECT_EQ(stopped, 1);
    EXPECT_TRUE(running);
    EXPECT_TRUE(end.byError && end.opened);
    EXPECT_FALSE(end.linkLost);
    EXPECT_EQ(end.code, IError::ERR_FILE);
    EXPECT_EQ(end.sysError, EFBIG);
}

// The end report tells a lost line from a file failure and from a run stopped by its
// owner; it comes once, as the last thing the worker does.
TEST_F(DiagWorkerTest, TheEndReportSaysWhyTheRunEnded) {
    struct case_t {
        const char* name;
        bool pulled;  // the adapter goes away at the third request
        bool linkLost;
    };
    for (const case_t& c : {case_t{"stopped", false, false}, case_t{"pulled", true, true}}) {
        SCOPED_TRACE(c.name);
        running = true;
        requests = 0;
        line->setResponder([this, &c](const bytes_t&) {
            const int n = ++requests;
            if (n == 3) {
                c.pulled ? line->failNextRead() : void(running = false);
            }
            return diagReply(reading(n));
        });
        std::vector<diag_end_t> ends;
        CDiagRSThread* worker = live(recording);
        worker->setEndHandler([&ends](const diag_end_t& end) { ends.push_back(end); });
        manager.insert(worker);
        ASSERT_TRUE(workersEnd());
        ASSERT_EQ(ends.size(), 1u);
        EXPECT_EQ(ends[0].byError, c.pulled);
        EXPECT_EQ(ends[0].linkLost, c.linkLost);
        EXPECT_TRUE(ends[0].opened);
    }
}

// A controller that stops answering is given up on like a pulled adapter, but only
// when it has been silent long enough and several requests in a row: one that misses
// every third request keeps the run going.
TEST_F(DiagWorkerTest, ASilentControllerEndsTheRunAsALostLink) {
    for (const int missEvery : {1, 3}) {
        SCOPED_TRACE(missEvery);
        running = true;
        requests = 0;
        store.clear();
        line->setResponder([this, missEvery](const bytes_t&) {
            const int n = ++requests;
            if (n == 400) {
                running = false;  // still going: the owner ends it
            }
            return n % missEvery != 0 ? diagReply(reading(n)) : bytes_t{};
        });
        diag_end_t end;
        CDiagRSThread* worker = live(recording);
        worker->setSilenceLimit(20ms, 3);
        worker->setEndHandler([&end](const diag_end_t& told) { end = told; });
        manager.insert(worker);
        ASSERT_TRUE(workersEnd());
        EXPECT_EQ(end.linkLost, missEvery == 1);
        EXPECT_EQ(running, missEvery == 1);  // an error leaves the flag to its owner
        if (missEvery == 1) {
            EXPECT_GE(requests, 3);
            EXPECT_LT(requests, 400);
            EXPECT_NE(end.message.find("brak odpowiedzi sterownika"), std::string::npos);
            // The reason the CLI and the window show: how long, how many requests.
            EXPECT_EQ(end.reason.rfind("brak odpowiedzi sterownika od 0,", 0), 0u) << end.reason;
            EXPECT_NE(end.reason.find(" zapytań z rzędu)"), std::string::npos);
        } else {
            // The sample after each miss is dropped as possibly late: about one in three
            // requests is recorded.
            EXPECT_GE(store.getSize(), 130u);
            EXPECT_LE(store.getSize(), 134u);
        }
    }
}

// Silence is silence on the line: while another thread's exchanges are answered (a
// transfer's blocks), the worker's own unanswered requests do not lose the link.
TEST_F(DiagWorkerTest, AnswersToAnotherThreadKeepTheLinkAlive) {
    std::atomic<int> answered{0};
    std::atomic<int> samples{0};
    line->setResponder([this, &answered, &samples](const bytes_t& request) {
        const bool sample = request.size() > 4 && request[4] == proto::CMD_DIAG;
        if (sample && ++samples == 200) {
            running = false;  // the owner ends the run after 200 unanswered sample requests
        }
        answered += sample ? 0 : 1;
        return sample ? bytes_t{} : commandReply(proto::CMD_DONE);
    });
    diag_end_t end;
    CDiagRSThread* worker = live(recording);
    worker->setSilenceLimit(1ms, 20);  // room for the other thread to be scheduled
    worker->setEndHandler([&end](const diag_end_t& told) { end = told; });
    manager.insert(worker);
    std::thread transfer([this] {
        while (running) {
            device->clearErrors();
        }
    });
    ASSERT_TRUE(workersEnd());
    running = false;
    transfer.join();
    EXPECT_FALSE(end.linkLost) << end.reason;
    EXPECT_GE(samples.load(), 200);
    EXPECT_GT(answered.load(), 0);
}

TEST_F(DiagWorkerTest, LiveRunAgainstTheSimulatedController) {
    CConnectedSim connected(connectedOpen());
    connected.device().setReplyHook([this] {
        if (++requests == 25) {
            running = false;
        }
    });
    injector = 3;
    manager.insert(new CDiagRSThread(connected.device(), store, recording, running, injector,
                                     [this] { ++stopped; }));
    ASSERT_TRUE(workersEnd());
    const auto samples = stored();
    ASSERT_GE(samples.size(), 25u);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(samples[i].index, i + 1);
        EXPECT_EQ(samples[i].injector, 3);
        EXPECT_EQ(samples[i].colour, 0x00FF00u);
    }
    EXPECT_EQ(CTempDir::readLines(recording), linesOf(samples));
}

// Replay ----------------------------------------------------------------------------

TEST_F(DiagWorkerTest, ReplayLoadsTheRecordingRecolouredAndClearsTheFlag) {
    CTempDir::writeBytes(recording,
                         "7\t1\t3\t0\t0\t0\t8\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n"
                         "8\t4\t3\t0\t0\t0\t7\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n"
                         "9\t9\t3\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n");
    store.push(reading(1));
    manager.insert(replay(recording));
    ASSERT_TRUE(workersEnd());
    const auto samples = stored();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].index, 7u);
    EXPECT_EQ(samples[0].colour, 0x0000FFu);
    EXPECT_EQ(samples[1].colour, 0xFF00FFu);
    EXPECT_EQ(samples[1].gas_time, 7);  // the 0.2 ms rule is not applied again
    EXPECT_EQ(samples[2].colour, 0u);
    EXPECT_FALSE(running);
    EXPECT_EQ(finished, 1);
}

TEST_F(DiagWorkerTest, ReplayOfAnEmptyRecordingEndsAtOnce) {
    CTempDir::writeBytes(recording, "");
    store.push(reading(1));
    manager.insert(replay(recording));
    ASSERT_TRUE(workersEnd());
    EXPECT_EQ(store.getSize(), 0u);
    EXPECT_FALSE(running);
    EXPECT_EQ(finished, 1);
}

TEST_F(DiagWorkerTest, ReplayOfAMissingRecordingEndsAndReleasesTheWaiter) {
    store.push(reading(1));
    manager.insert(replay(dir.path("missing.lpgd")));
    ASSERT_TRUE(workersEnd());
    EXPECT_FALSE(running);
    EXPECT_EQ(store.getSize(), 0u);
    EXPECT_EQ(finished, 1);
}

TEST_F(DiagWorkerTest, ReplayEndsAtATokenThatIsNotANumber) {
    CTempDir::writeBytes(recording, CRecordingWriter::formatLine(reading(1)) + "2\t1\tLPG\r\n" +
                                        CRecordingWriter::formatLine(reading(3)));
    manager.insert(replay(recording));
    ASSERT_TRUE(workersEnd());
    EXPECT_EQ(store.getSize(), 1u);
    EXPECT_FALSE(running);
}

TEST_F(DiagWorkerTest, ALiveRecordingReplaysAsTheSamplesItWasMadeFrom) {
    line->setResponder([this](const bytes_t&) {
        const int n = ++requests;
        app_msg_t s = reading(n);
        if (n % 3 == 0) {
            s.inj_period2 = 4000;
            s.gas_time2 = 90;
        }
        if (n == 9) {
            running = false;
        }
        return diagReply(s);
    });
    manager.insert(live(recording));
    ASSERT_TRUE(workersEnd());
    auto recorded = stored();
    ASSERT_EQ(recorded.size(), 12u);
    for (auto& s : recorded) {
        s.inj_period2 = s.gas_time2 = s.time_sub2 = s.time_add2 = 0;  // not recorded
    }

    running = true;
    manager.insert(replay(recording));
    ASSERT_TRUE(workersEnd());
    EXPECT_EQ(stored(), recorded);
}

}  // namespace
