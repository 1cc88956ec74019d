// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/controller_sim.h"
#include "sim/frame_assembler.h"

// Serves the simulated controller on a pseudo-terminal, so the program's real serial
// code can open slavePath() like any serial device. Bytes take the time they would on
// the controller's 38400-baud line (10 bits a byte) in both directions unless pacing
// is switched off. A vanished controller closes the terminal: the client sees a
// hang-up.
class CPtyServer {
  public:
    using Clock = std::chrono::steady_clock;

    static constexpr int kBaud = 38400;
    static constexpr int kBitsPerByte = 10;
    // A frame left half-sent for this long is forgotten.
    static constexpr std::chrono::milliseconds kFrameGap{100};

    explicit CPtyServer(std::shared_ptr<CControllerSim> sim);
    ~CPtyServer();
    CPtyServer(const CPtyServer&) = delete;
    CPtyServer& operator=(const CPtyServer&) = delete;

    void setPacing(bool on) { pacing_ = on; }
    bool pacing() const { return pacing_; }
    // Acts as a USB adapter with a latency timer of this period in front of the line:
    // received bytes are passed on when the timer runs out, or when a full USB packet
    // has gathered. Zero (the default) passes every byte on as it arrives.
    void setAdapterLatency(std::chrono::milliseconds period) { adapterLatencyMs_ = period.count(); }

    // How long before a due byte the thread stops sleeping and watches the clock.
    static constexpr std::chrono::microseconds kWakeMargin{400};

    // Data bytes of one USB packet of such an adapter.
    static constexpr std::size_t kAdapterPacket = 62;

    // Opens the pseudo-terminal and starts serving it on a thread of its own; raises
    // IError (ERR_SYSTEM) when the system gives no pseudo-terminal.
    void start();
    // Stops serving, joins the thread and closes the terminal; harmless when stopped.
    void stop();
    // False before start(), after stop() and once the controller has vanished.
    bool running() const { return running_; }
    const std::string& slavePath() const { return slavePath_; }
    CControllerSim& sim() { return *sim_; }

    // Time one byte takes on the line.
    static Clock::duration byteTime();

  private:
    void serve();
    void receive(const std::uint8_t* data, std::size_t size);
    // `start` is when the reply's first bit goes on the line.
    void send(const std::vector<std::uint8_t>& bytes, Clock::time_point start);
    void sendThroughAdapter(const std::vector<std::uint8_t>& bytes, Clock::time_point start);
    bool writeAll(const std::uint8_t* data, std::size_t size);
    bool waitUntil(Clock::time_point when);
    bool waitUntilPrecisely(Clock::time_point when);
    void closeTerminal();

    std::shared_ptr<CControllerSim> sim_;
    std::thread thread_;
    std::atomic<bool> pacing_{true};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> running_{false};
    std::mutex waitMutex_;
    std::condition_variable wake_;
    int master_ = -1;
    // The server keeps the slave open too, so the terminal stays raw and the master
    // never reports a hang-up merely because no client is attached.
    int holder_ = -1;
    std::string slavePath_;
    CFrameAssembler receiver_;
    Clock::time_point lineFree_{};  // when the bytes received so far have crossed the line
    Clock::time_point lastByte_{};
    std::atomic<long long> adapterLatencyMs_{0};
    Clock::time_point adapterOrigin_{};  // the adapter's timer runs out at multiples from here
};
