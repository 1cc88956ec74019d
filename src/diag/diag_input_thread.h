// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "diag/app_msg.h"
#include "diag/diag_data.h"
#include "support/s_thread.h"

class IError;

// How a worker's run ended, told to its owner once the body has returned.
struct diag_end_t {
    bool byError = false;
    bool opened = false;  // the source was opened before the run ended
    // The serial line failed or the controller stopped answering.
    bool linkLost = false;
    unsigned code = 0;    // the error's code
    std::string message;  // the error's own text: the technical detail
    int sysError = 0;     // errno behind a file failure, 0 when unknown
    std::string reason;   // why the file failed, in a few Polish words; may be empty
    // A replay that stopped before the recording's end: the first line not read and how
    // many lines from there hold anything (0 when the whole recording was read).
    std::size_t stopLine = 0;
    std::size_t unreadLines = 0;
};

// A worker that feeds the sample store from one source (the controller or a recording)
// while the owner's run flag stays set. The loop and the rules for stopping and for
// errors are here; the source-specific steps are the four abstract ones.
class CDiagInputThread : public CSThread {
  public:
    using EndHandler = std::function<void(const diag_end_t&)>;

    // The store and the flag belong to the owner and outlive the worker.
    CDiagInputThread(CDiagData& store, std::string fileName, std::atomic<bool>& runFlag);
    ~CDiagInputThread() override;

    // The body, then the end handler: the last thing the worker does.
    void run() override;
    // open, then read and process samples until the flag is cleared, then close. An
    // error ends the loop silently: the source is closed when the flag is still set
    // (nobody else will stop the run) and the flag is left as it is.
    virtual void doWork();

    // Runs on the worker thread after everything else, however the run ended; the owner
    // may count the worker as gone from then on.
    void setEndHandler(EndHandler handler) { endHandler_ = std::move(handler); }
    const std::string& fileName() const { return fileName_; }

  protected:
    virtual void open() = 0;
    virtual void close() = 0;
    // Fills a zeroed sample; false when none was obtained this time.
    virtual bool readSample(app_msg_t& sample) = 0;
    virtual void processSample(const app_msg_t& sample) = 0;
    // Called after close when an error ended the run while the flag was still set.
    virtual void endedByError() {}

    CDiagData& store_;
    const std::string fileName_;
    std::atomic<bool>& runFlag_;
    // Filled in as the run ends; a subclass may add the errno of a file failure.
    diag_end_t end_;

  private:
    void noteError(const IError* error);
    void closeAfterError();

    EndHandler endHandler_;
};
