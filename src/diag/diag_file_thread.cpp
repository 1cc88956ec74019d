#include "diag/diag_file_thread.h"

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
    store_.clear();
    if (!input_.isOpen()) {
        VAPRON_RAISE(IError::ERR_FILE,
                     "Nie można otworzyć pliku do odczytu danych diagnostycznych");
    }
}

void CDiagFileThread::close() {
    input_.close();
}

bool CDiagFileThread::readSample(app_msg_t& sample) {
    if (input_.readSample(sample)) {
        return true;
    }
    runFlag_ = false;
    return false;
}

void CDiagFileThread::processSample(const app_msg_t& sample) {
    app_msg_t coloured = sample;
    coloured.colour = injectorColour(coloured.injector);
    store_.push(coloured);
}

void CDiagFileThread::endedByError() {
    runFlag_ = false;
}
