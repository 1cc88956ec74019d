// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/diag_file_thread.h"

#include "diag/settings_history.h"

#include "support/i_error.h"

CDiagFileThread::CDiagFileThread(CDiagData& store, std::string fileName, std::atomic<bool>& runFlag,
                                 std::function<void()> onFinished)
    : CDiagInputThread(store, std::move(fileName), runFlag),
      input_(fileName_),
      onFinished_(std::move(onFinished)) {}

CDiagFileThread::~CDiagFileThread() = default;

void CDiagFileThread::doWork() {
    CDiagInputThread::doWork();
    if (onFinished_) {
        onFinished_();
    }
}

void CDiagFileThread::open() {
    // The recording's own clock, whatever controller is connected.
    const std::optional<CControllerClock> clock = CSettingsHistory::clockOf(fileName_);
    store_.startRun(clock.value_or(CControllerClock{}), clock.has_value());
    if (!input_.isOpen()) {
        VAPRON_RAISE(IError::ERR_FILE,
                     "Nie można otworzyć pliku do odczytu danych diagnostycznych");
    }
}

void CDiagFileThread::close() {
    flush();
    input_.close();
}

void CDiagFileThread::flush() {
    store_.push(batch_.data(), batch_.size());
    batch_.clear();
}

bool CDiagFileThread::readSample(app_msg_t& sample) {
    if (input_.readSample(sample)) {
        return true;
    }
    flush();  // every sample is in the store before the run is seen to end
    if (input_.end() != CRecordingReader::End::ReadError) {
        end_.stopLine = input_.stopLine();
        end_.unreadLines = input_.countUnreadLines();
    }
    runFlag_ = false;
    return false;
}

void CDiagFileThread::processSample(const app_msg_t& sample) {
    batch_.push_back(sample);
    batch_.back().colour = injectorColour(sample.injector);
    if (batch_.size() == kBatch) {
        flush();
    }
}

void CDiagFileThread::endedByError() {
    runFlag_ = false;
}
