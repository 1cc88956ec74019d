// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/diag_rs_thread.h"

#include <chrono>
#include <mutex>
#include <system_error>
#include <thread>

#include "diag/settings_history.h"
#include "link/lpg_device.h"
#include "support/i_error.h"
#include "support/rs_error.h"

namespace {
// A line that answers nothing at once (no read time-out to wait for) would otherwise
// keep a core busy; a real exchange already takes longer than this.
constexpr std::chrono::milliseconds kAfterFailedRequest{1};
constexpr std::chrono::milliseconds kTransferPoll{5};
}  // namespace

CDiagRSThread::CDiagRSThread(CLPGDevice& device, CDiagData& store, std::string fileName,
                             std::atomic<bool>& runFlag, const std::atomic<int>& selectedInjector,
                             std::function<void()> onStopped)
    : CDiagInputThread(store, std::move(fileName), runFlag),
      device_(device),
      selectedInjector_(selectedInjector),
      onStopped_(std::move(onStopped)) {
    // No companion beside a recording that cannot be written. The companion starts
    // with the controller as the run begins, its clock with it.
    if (recording_.open(fileName_)) {
        CSettingsHistory::startRun(fileName_, device_.info());
    }
}

CDiagRSThread::~CDiagRSThread() = default;

void CDiagRSThread::open() {
    silentFor_ = {};
    if (!recording_.isOpen()) {
        noteFileFailure();
        VAPRON_RAISE(IError::ERR_FILE, "Nie można otworzyć pliku do zapisu danych diagnostycznych");
    }
    {
        // Another thread's exchange may be reading; its reply must not be dropped.
        std::lock_guard<CFairMutex> hold(device_.exchangeMutex());
        device_.line().purgeIn();
    }
    store_.startRun(device_.clock(), true);
    maker_.setClock(device_.clock());
}

void CDiagRSThread::close() {
    recording_.close();
    if (onStopped_) {
        onStopped_();
    }
}

bool CDiagRSThread::readSample(app_msg_t& sample) {
    if (device_.transferRunning()) {
        // A transfer has the line to itself: the chart pauses until it ends, and the
        // transfer's answered blocks say the controller is there.
        std::this_thread::sleep_for(kTransferPoll);
        return false;
    }
    const int injector = selectedInjector_.load();
    CLPGDevice::DiagPayload payload{};
    ++exchanges_;
    bool answered = false;
    Clock::duration took{};
    {
        // Waiting while another thread's transfer holds the line is not silence: only the
        // worker's own exchange is timed.
        std::lock_guard<CFairMutex> hold(device_.exchangeMutex());
        const auto start = Clock::now();
        answered = device_.requestDiag(injector, payload);
        took = Clock::now() - start;
    }
    if (!answered) {
        ++failed_;
        // Silence is silence on the line: a frame another thread's exchange took since (a
        // transfer's block) shows the controller is there.
        if (const std::uint64_t seen = device_.framesSeen(); seen != framesSeen_) {
            framesSeen_ = seen;
            silentRequests_ = 0;
            silentFor_ = {};
        }
        std::this_thread::sleep_for(kAfterFailedRequest);
        silentFor_ += took + kAfterFailedRequest;
        checkSilence();
        return false;
    }
    framesSeen_ = device_.framesSeen();
    silentRequests_ = 0;
    silentFor_ = {};
    sample.setPayload(payload.data());
    sample.injector = static_cast<std::uint8_t>(injector);
    return true;
}

void CDiagRSThread::processSample(const app_msg_t& sample) {
    std::array<app_msg_t, 2> samples;
    const int count = maker_.make(sample, samples);
    bool written = true;
    for (int i = 0; i < count; ++i) {
        // After a failed write the file may end in part of a line; nothing more is added.
        written = written && recording_.write(samples[i]);
        store_.push(samples[i]);
    }
    if (!written) {
        noteFileFailure();
        VAPRON_RAISE(IError::ERR_FILE, "Nie można zapisać danych diagnostycznych do pliku");
    }
}

void CDiagRSThread::noteFileFailure() {
    end_.sysError = recording_.lastErrno();
    if (!recording_.openFailure().ok()) {
        end_.reason = CFileIo::describe(recording_.openFailure());
    } else if (end_.sysError != 0) {
        end_.reason = std::generic_category().message(end_.sysError);
    }
}

void CDiagRSThread::setSilenceLimit(std::chrono::milliseconds quiet, int requests) {
    silenceLimit_ = quiet;
    silentLimitRequests_ = requests;
}

void CDiagRSThread::checkSilence() {
    ++silentRequests_;
    if (silentLimitRequests_ <= 0 || silentRequests_ < silentLimitRequests_) {
        return;
    }
    const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(silentFor_);
    if (quiet >= silenceLimit_) {
        end_.reason = silenceReason(quiet, silentRequests_);
        throw new CRSError(CRSError::ERR_RS_OPERATION,
                           "CDiagRSThread::readSample() - " + end_.reason, __LINE__, __FILE__);
    }
}

std::string CDiagRSThread::silenceReason(std::chrono::milliseconds quiet, int requests) {
    const long long tenths = (quiet.count() + 50) / 100;
    return "brak odpowiedzi sterownika od " + std::to_string(tenths / 10) + "," +
           std::to_string(tenths % 10) + " s (" + std::to_string(requests) + " zapytań z rzędu)";
}
