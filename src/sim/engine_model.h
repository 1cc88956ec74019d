// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "link/protocol.h"

enum class EngineProfile { Idle, Drive };

// What the controller was told to run on; Auto switches to LPG once the reducer is warm
// and the engine reaches the switch-over speed.
enum class WorkMode : std::uint8_t { Gasoline, Lpg, Auto };

// Settings record in line form, as the controller holds it.
using setup_line_t = std::array<std::uint8_t, proto::kSetupSize>;
// One diagnostic payload in line order.
using diag_payload_t = std::array<std::uint8_t, proto::kDiagSize>;

// The car behind the controller: engine speed and load, the car computer's gasoline
// injection times, sensors warming up, and the LPG side while the controller runs on
// LPG. Every random draw comes from one seeded generator and the engine advances a
// fixed step per sample, so a run repeats exactly.
class CEngineModel {
  public:
    static constexpr double kDefaultStepMs = 20.0;
    static constexpr double kDefaultNeededCorrectionMs = 1.4;
    static constexpr double kDefaultTimerHz = 40000.0;
    // Standard deviation of the car computer's gasoline time, ms.
    static constexpr double kGasTimeNoiseMs = 0.04;

    explicit CEngineModel(std::uint32_t seed = 1);

    void setProfile(EngineProfile profile) { profile_ = profile; }
    EngineProfile profile() const { return profile_; }
    // The constant LPG time the injectors lack; the car computer makes up for what the
    // main correction does not cover.
    void setNeededCorrection(double ms) { neededMs_ = ms; }
    double neededCorrection() const { return neededMs_; }
    // Standard deviation of the gasoline time's noise, ms.
    void setGasTimeNoise(double ms) { gasNoiseMs_ = ms; }
    void setStepMs(double ms) { stepMs_ = ms; }
    void setTimerHz(double hz);
    void setInjectors(unsigned count) { injectors_ = count; }
    void setWorkMode(WorkMode mode);
    WorkMode workMode() const { return mode_; }
    // Starts the sensors cold (false) or at running temperature (true).
    void setWarm(bool warm);

    bool onLpg() const { return onLpg_; }
    double rpm() const { return rpm_; }
    double reducerTemperature() const { return reducerC_; }
    double elapsedMs() const { return elapsedMs_; }

    // Advances one step and gives the payload for injector `index` (0 = injector 1).
    diag_payload_t sample(const setup_line_t& setup, unsigned index);
    // Injection start of each present injector within the engine cycle, in ticks; 0 for
    // injectors that are not fitted. Non-sequential engines fire all at once.
    std::array<std::uint16_t, 8> sequence(bool sequential) const;

  private:
    struct event_t {
        std::uint16_t period = 0;
        std::uint16_t gasTime = 0;
        std::uint16_t timeSub = 0;
        std::uint16_t timeAdd = 0;
    };

    void advance(const setup_line_t& setup);
    void moveTargets();
    void updateFuel(const setup_line_t& setup);
    double gasolineMs(unsigned index);
    event_t injection(const setup_line_t& setup, unsigned index);
    double gauss(double sd);
    std::uint16_t ticks(double ms) const;
    std::uint16_t periodTicks() const;

    std::mt19937 random_;
    EngineProfile profile_ = EngineProfile::Idle;
    WorkMode mode_ = WorkMode::Auto;
    unsigned injectors_ = 4;
    double neededMs_ = kDefaultNeededCorrectionMs;
    double gasNoiseMs_ = kGasTimeNoiseMs;
    double stepMs_ = kDefaultStepMs;
    double timerHz_ = kDefaultTimerHz;

    double elapsedMs_ = 0;
    double rpm_ = 800;
    double load_ = 0;
    double intakeKpa_ = 32;
    double targetRpm_ = 800;
    double targetLoad_ = 0;
    double nextTargetMs_ = 0;
    double reducerC_ = 20;
    double gasC_ = 18;
    double internalC_ = 25;
    double pressureKpa_ = 0;
    double lambdaPhase_ = 0;
    // How much the car computer lengthens its pulses on LPG; follows the mixture with a lag.
    double trimMs_ = 0;
    bool onLpg_ = false;
};
