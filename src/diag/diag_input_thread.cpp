#include "diag/diag_input_thread.h"

#include <memory>

#include "support/i_error.h"

CDiagInputThread::CDiagInputThread(CDiagData& store, std::string fileName,
                                   std::atomic<bool>& runFlag)
    : store_(store), fileName_(std::move(fileName)), runFlag_(runFlag) {}

CDiagInputThread::~CDiagInputThread() = default;

void CDiagInputThread::doWork() {
    try {
        open();
        while (runFlag_) {
            app_msg_t sample{};
            if (readSample(sample)) {
                processSample(sample);
            }
        }
        close();
    } catch (IError* error) {
        std::unique_ptr<IError> owned(error);
        closeAfterError();
    } catch (...) {
        closeAfterError();
    }
}

void CDiagInputThread::closeAfterError() {
    if (!runFlag_) {
        return;
    }
    // A failure while closing must not escape the worker's body.
    try {
        close();
    } catch (IError* error) {
        delete error;
    } catch (...) {
    }
    endedByError();
}
