#include "diag/diag_rs_thread.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "diag/settings_history.h"
#include "link/lpg_device.h"
#include "support/i_error.h"

namespace {
// A line that answers nothing at once (no read time-out to wait for) would otherwise
// keep a core busy; a real exchange already takes longer than this.
constexpr std::chrono::milliseconds kAfterFailedRequest{1};
}  // namespace

CDiagRSThread::CDiagRSThread(CLPGDevice& device, CDiagData& store, std::string fileName,
                             std::atomic<bool>& runFlag, const std::atomic<int>& selectedInjector,
                             std::function<void()> onStopped)
    : CDiagInputThread(store, std::move(fileName), runFlag),
      device_(device),
      selectedInjector_(selectedInjector),
      onStopped_(std::move(onStopped)) {
    recording_.open(fileName_);
    CSettingsHistory::truncate(fileName_);
}

CDiagRSThread::~CDiagRSThread() = default;

void CDiagRSThread::open() {
    if (!recording_.isOpen()) {
        VAPRON_RAISE(IError::ERR_FILE, "Nie można otworzyć pliku do zapisu danych diagnostycznych");
    }
    {
        // Another thread's exchange may be reading; its reply must not be dropped.
        std::lock_guard<CMutex> hold(device_.exchangeMutex());
        device_.line().purgeIn();
    }
    store_.clear();
}

void CDiagRSThread::close() {
    recording_.close();
    if (onStopped_) {
        onStopped_();
    }
}

bool CDiagRSThread::readSample(app_msg_t& sample) {
    const int injector = selectedInjector_.load();
    CLPGDevice::DiagPayload payload{};
    ++exchanges_;
    if (!device_.requestDiag(injector, payload)) {
        ++failed_;
        std::this_thread::sleep_for(kAfterFailedRequest);
        return false;
    }
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
        VAPRON_RAISE(IError::ERR_FILE, "Nie można zapisać danych diagnostycznych do pliku");
    }
}
