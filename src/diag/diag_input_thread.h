#pragma once

#include <atomic>
#include <string>

#include "diag/app_msg.h"
#include "diag/diag_data.h"
#include "support/s_thread.h"

// A worker that feeds the sample store from one source (the controller or a recording)
// while the owner's run flag stays set. The loop and the rules for stopping and for
// errors are here; the source-specific steps are the four abstract ones.
class CDiagInputThread : public CSThread {
  public:
    // The store and the flag belong to the owner and outlive the worker.
    CDiagInputThread(CDiagData& store, std::string fileName, std::atomic<bool>& runFlag);
    ~CDiagInputThread() override;

    void run() override { doWork(); }
    // open, then read and process samples until the flag is cleared, then close. An
    // error ends the loop silently: the source is closed when the flag is still set
    // (nobody else will stop the run) and the flag is left as it is.
    virtual void doWork();

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

  private:
    void closeAfterError();
};
