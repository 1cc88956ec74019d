// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "diag/diag_input_thread.h"
#include "diag/recording_writer.h"
#include "diag/sample_maker.h"

class CLPGDevice;

// Live acquisition: asks the controller for one diagnostic payload after another for
// the injector the user has selected, turns each into one or two samples, records them
// and hands them to the store. The serial exchange paces the loop.
class CDiagRSThread : public CDiagInputThread {
  public:
    // Truncates the recording and starts its "-config" companion with the controller's
    // record at once, even if no sample follows; a recording that cannot be opened gets
    // no companion. `onStopped` runs
    // when the worker closes (on the worker thread).
    CDiagRSThread(CLPGDevice& device, CDiagData& store, std::string fileName,
                  std::atomic<bool>& runFlag, const std::atomic<int>& selectedInjector,
                  std::function<void()> onStopped = {});
    ~CDiagRSThread() override;

    std::uint32_t counter() const { return maker_.counter(); }
    // Diagnostic requests made and how many of them brought no sample.
    std::uint64_t exchanges() const { return exchanges_; }
    std::uint64_t failedExchanges() const { return failed_; }
    // A controller whose failed diagnostic exchanges in a row took `quiet` in all and
    // numbered at least `requests` is taken as lost: the run ends as on a serial failure,
    // with the reason in the end's `reason`. Time spent waiting for the line while
    // another thread's exchange holds it does not count. requests <= 0 never gives up.
    void setSilenceLimit(std::chrono::milliseconds quiet, int requests);
    static constexpr std::chrono::milliseconds kSilenceLimit{3000};
    static constexpr int kSilentRequests = 3;
    // The recording's lines and failures; read it once the worker has closed.
    const CRecordingWriter& recording() const { return recording_; }

  protected:
    // Raises code 4 when the recording could not be created; else drops stale input
    // and clears the store.
    void open() override;
    void close() override;
    bool readSample(app_msg_t& sample) override;
    // Raises code 4 when the recording cannot be written (the samples are stored first).
    void processSample(const app_msg_t& sample) override;

  private:
    using Clock = std::chrono::steady_clock;
    // Raises CRSError once the controller has been silent past the limit.
    void checkSilence();
    // "brak odpowiedzi sterownika od 3,2 s (6 zapytań z rzędu)"
    static std::string silenceReason(std::chrono::milliseconds quiet, int requests);
    // Tells the owner why the recording failed.
    void noteFileFailure();

    CLPGDevice& device_;
    const std::atomic<int>& selectedInjector_;
    std::function<void()> onStopped_;
    CSampleMaker maker_;
    CRecordingWriter recording_;
    std::atomic<std::uint64_t> exchanges_{0};
    std::atomic<std::uint64_t> failed_{0};
    std::chrono::milliseconds silenceLimit_ = kSilenceLimit;
    int silentLimitRequests_ = kSilentRequests;
    int silentRequests_ = 0;
    Clock::duration silentFor_{};
    std::uint64_t framesSeen_ = 0;  // the link's count when this worker last looked
};
