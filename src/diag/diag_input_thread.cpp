// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/diag_input_thread.h"

#include <memory>

#include "support/i_error.h"
#include "support/rs_error.h"

CDiagInputThread::CDiagInputThread(CDiagData& store, std::string fileName,
                                   std::atomic<bool>& runFlag)
    : store_(store), fileName_(std::move(fileName)), runFlag_(runFlag) {}

CDiagInputThread::~CDiagInputThread() = default;

void CDiagInputThread::run() {
    doWork();
    if (endHandler_) {
        endHandler_(end_);
    }
}

void CDiagInputThread::doWork() {
    try {
        open();
        end_.opened = true;
        while (runFlag_) {
            app_msg_t sample{};
            if (readSample(sample)) {
                processSample(sample);
            }
        }
        close();
    } catch (IError* error) {
        std::unique_ptr<IError> owned(error);
        noteError(owned.get());
        closeAfterError();
    } catch (...) {
        noteError(nullptr);
        closeAfterError();
    }
}

void CDiagInputThread::noteError(const IError* error) {
    end_.byError = true;
    if (error == nullptr) {
        end_.message = "catch(...)";
        return;
    }
    end_.code = error->code();
    end_.message = error->message();
    end_.linkLost = dynamic_cast<const CRSError*>(error) != nullptr;
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
