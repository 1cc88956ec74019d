#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>
#include <vector>

// Faults the simulated controller shows on demand: lost, damaged or late replies, line
// noise before a reply, a device that goes away, requests it ignores. Knobs may be
// turned from any thread while a transport serves requests.
class CSimFaults {
  public:
    explicit CSimFaults(std::uint32_t seed = 1);

    void setDropProbability(double p) { drop_ = p; }
    void setCorruptProbability(double p) { corrupt_ = p; }
    void setStrayProbability(double p) { stray_ = p; }
    double dropProbability() const { return drop_; }
    double corruptProbability() const { return corrupt_; }
    double strayProbability() const { return stray_; }

    // Extra time between the end of a request and the start of its reply.
    void setReplyDelay(std::chrono::milliseconds delay) { delayMs_ = delay.count(); }
    std::chrono::milliseconds replyDelay() const { return std::chrono::milliseconds(delayMs_); }

    // The device answers this many requests, then is gone (0: never).
    void setVanishAfter(unsigned requests) { vanishAfter_ = requests; }
    void vanish() { vanished_ = true; }
    // The device is back (plugged in again) and counts its requests afresh.
    void reappear();
    bool vanished() const { return vanished_; }

    void setAnswersClock(bool on) { answersClock_ = on; }
    void setAnswersVersion(bool on) { answersVersion_ = on; }
    bool answersClock() const { return answersClock_; }
    bool answersVersion() const { return answersVersion_; }

    // Counts one arriving request; false when the device is (now) gone.
    bool admit();
    // Drops, damages or prefixes a reply as the knobs say; empty means no reply.
    std::vector<std::uint8_t> apply(std::vector<std::uint8_t> reply);

  private:
    bool chance(double p);

    std::atomic<double> drop_{0};
    std::atomic<double> corrupt_{0};
    std::atomic<double> stray_{0};
    std::atomic<long long> delayMs_{0};
    std::atomic<unsigned> vanishAfter_{0};
    std::atomic<bool> vanished_{false};
    std::atomic<bool> answersClock_{true};
    std::atomic<bool> answersVersion_{true};

    std::mutex mutex_;  // the generator and the request count
    std::mt19937 random_;
    unsigned admitted_ = 0;
};
