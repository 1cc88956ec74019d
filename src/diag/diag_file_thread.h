// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "diag/diag_input_thread.h"
#include "diag/recording_reader.h"

// Replay: reads a recording into the store as fast as it can and clears the run flag
// when the recording ends, so the command waiting for the replay is released. It also
// clears the flag when the recording cannot be opened.
class CDiagFileThread : public CDiagInputThread {
  public:
    // `onFinished` runs on the worker thread when the replay has ended, however it ended.
    CDiagFileThread(CDiagData& store, std::string fileName, std::atomic<bool>& runFlag,
                    std::function<void()> onFinished = {});
    ~CDiagFileThread() override;

    void doWork() override;
    // Why the replay stopped (valid once it has ended).
    CRecordingReader::End end() const { return input_.end(); }

  protected:
    // Clears the store; raises code 4 when the recording could not be opened.
    void open() override;
    void close() override;
    // At the end of the recording (or at anything that is not a number) clears the run
    // flag and returns false.
    bool readSample(app_msg_t& sample) override;
    void processSample(const app_msg_t& sample) override;
    void endedByError() override;

  private:
    // Samples go to the store in batches: one lock for many, as a long recording loads.
    static constexpr std::size_t kBatch = 4096;
    void flush();

    CRecordingReader input_;
    std::vector<app_msg_t> batch_;
    std::function<void()> onFinished_;
};
