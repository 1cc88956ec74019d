// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

// Bytes the controller sends and the request (by its number) they answer.
struct sim_reply_t {
    std::size_t request = 0;
    std::vector<std::uint8_t> bytes;
};

// Faults the simulated controller shows on demand: lost, damaged or late replies, line
// noise before a reply, replies held back until the next request, a device that goes
// away, requests it ignores. Knobs may be turned from any thread while a transport
// serves requests.
class CSimFaults {
  public:
    explicit CSimFaults(std::uint32_t seed = 1);

    void setDropProbability(double p) { drop_ = p; }
    void setCorruptProbability(double p) { corrupt_ = p; }
    void setStrayProbability(double p) { stray_ = p; }
    double dropProbability() const { return drop_; }
    double corruptProbability() const { return corrupt_; }
    double strayProbability() const { return stray_; }
    // A held-back reply goes out just ahead of the reply to the next request, as an
    // answer that arrives too late for its own question; that next reply is never held.
    void setStaleProbability(double p) { stale_ = p; }
    double staleProbability() const { return stale_; }

    // The next n replies are lost, or held back, whatever the probabilities say.
    void dropNext(unsigned n) { dropNext_ = n; }
    void staleNext(unsigned n) { staleNext_ = n; }

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
    // Drops, damages, prefixes or holds back a reply as the knobs say; gives the replies
    // to send now (one held back earlier first), none when the controller stays silent.
    std::vector<sim_reply_t> apply(sim_reply_t reply);

  private:
    bool chance(double p);
    // Takes one from a forced count; false when it is spent.
    static bool takeForced(std::atomic<unsigned>& count);
    std::vector<std::uint8_t> damage(std::vector<std::uint8_t> reply);

    std::atomic<double> drop_{0};
    std::atomic<double> corrupt_{0};
    std::atomic<double> stray_{0};
    std::atomic<double> stale_{0};
    std::atomic<unsigned> dropNext_{0};
    std::atomic<unsigned> staleNext_{0};
    std::atomic<long long> delayMs_{0};
    std::atomic<unsigned> vanishAfter_{0};
    std::atomic<bool> vanished_{false};
    std::atomic<bool> answersClock_{true};
    std::atomic<bool> answersVersion_{true};

    std::mutex mutex_;  // the generator and the request count
    std::mt19937 random_;
    unsigned admitted_ = 0;
    std::optional<sim_reply_t> held_;
};
