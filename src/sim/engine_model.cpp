// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/engine_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "link/conversions.h"

namespace {

// Offsets of the settings record (line form).
constexpr std::size_t kSetupRefPressure = 2;
constexpr std::size_t kSetupSlope = 3;
constexpr std::size_t kSetupSwitchPeriod = 4;
constexpr std::size_t kSetupSwitchTemp = 6;
constexpr std::size_t kSetupMainCorrection = 7;
constexpr std::size_t kSetupFlags = 9;
constexpr std::size_t kSetupMasks = 13;
constexpr std::uint8_t kFlagPressureCorrection = 0x02;
constexpr std::uint8_t kFlagMainCorrection = 0x10;

constexpr std::uint8_t kStateGasoline = 2;
constexpr std::uint8_t kStateLpg = 3;

constexpr double kAmbientC = 20;
constexpr double kReducerRunningC = 75;
constexpr double kGasRunningC = 35;
constexpr double kInternalRunningC = 40;
constexpr double kLpgPressureKpa = 100;
constexpr double kIdleRpm = 800;
constexpr double kIdleIntakeKpa = 32;

// The sensors' raw readings come from the program's own conversions, so the simulated
// controller and the program agree on every curve.
std::uint8_t rawOfTemperature(double celsius) {
    return conv::temperatureToRaw(celsius);
}

std::uint8_t clampedRaw(double raw) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(raw), 0L, 255L));
}

std::uint8_t rawOfVolts(double volts) {
    return clampedRaw(conv::voltsToRaw8(volts));
}

std::uint8_t rawOfPressure(double kpa) {
    return clampedRaw(conv::pressureToRaw(kpa));
}

double pressureOfRaw(std::uint8_t raw) {
    return conv::rawToPressure(raw);
}

std::uint8_t rawOfSupply(double volts) {
    return clampedRaw(conv::supplyToRaw(volts));
}

// First-order lag: moves `value` toward `target` with time constant tau over one step.
void follow(double& value, double target, double stepMs, double tauMs) {
    value += (target - value) * (1.0 - std::exp(-stepMs / tauMs));
}

}  // namespace

CEngineModel::CEngineModel(std::uint32_t seed) : random_(seed) {}

void CEngineModel::setTimerHz(double hz) {
    if (hz > 0) {
        timerHz_ = hz;
    }
}

void CEngineModel::setWorkMode(WorkMode mode) {
    mode_ = mode;
    if (mode != WorkMode::Auto) {
        onLpg_ = mode == WorkMode::Lpg;
    }
}

void CEngineModel::setWarm(bool warm) {
    reducerC_ = warm ? kReducerRunningC : kAmbientC;
    gasC_ = warm ? kGasRunningC : kAmbientC - 2;
    internalC_ = warm ? kInternalRunningC : kAmbientC + 5;
}

double CEngineModel::gauss(double sd) {
    return std::normal_distribution<double>(0.0, sd)(random_);
}

std::uint16_t CEngineModel::ticks(double ms) const {
    return static_cast<std::uint16_t>(std::clamp(std::lround(ms * timerHz_ / 1000.0), 0L, 65535L));
}

// One engine cycle (two revolutions) in timer ticks: rev/min = 120 × frequency / period.
std::uint16_t CEngineModel::periodTicks() const {
    return static_cast<std::uint16_t>(
        std::clamp(std::lround(120.0 * timerHz_ / std::max(rpm_, 1.0)), 1L, 65535L));
}

void CEngineModel::moveTargets() {
    if (profile_ == EngineProfile::Idle) {
        targetRpm_ = kIdleRpm + gauss(40.0);  // the idle wanders a little
        targetLoad_ = 0.0;
        return;
    }
    if (elapsedMs_ < nextTargetMs_) {
        return;
    }
    // A new driving situation every two to five seconds.
    targetRpm_ = std::uniform_real_distribution<double>(kIdleRpm, 6000.0)(random_);
    targetLoad_ = std::uniform_real_distribution<double>(0.05, 1.0)(random_);
    nextTargetMs_ = elapsedMs_ + std::uniform_real_distribution<double>(2000.0, 5000.0)(random_);
}

void CEngineModel::updateFuel(const setup_line_t& setup) {
    if (mode_ == WorkMode::Auto && !onLpg_) {
        const double switchRpm =
            120.0 * timerHz_ / std::max<int>(1, proto::getBE16(&setup[kSetupSwitchPeriod]));
        const double switchC = conv::rawToTemperature(setup[kSetupSwitchTemp]);
        onLpg_ = reducerC_ >= switchC && rpm_ >= switchRpm;
    }
}

void CEngineModel::advance(const setup_line_t& setup) {
    elapsedMs_ += stepMs_;
    moveTargets();
    follow(rpm_, targetRpm_, stepMs_, 800.0);
    follow(load_, targetLoad_, stepMs_, 300.0);
    intakeKpa_ = kIdleIntakeKpa + 68.0 * load_;
    const double runningC = kReducerRunningC + (profile_ == EngineProfile::Drive ? 5.0 : 0.0);
    follow(reducerC_, runningC, stepMs_, 20000.0);
    follow(gasC_, kGasRunningC, stepMs_, 60000.0);
    follow(internalC_, kInternalRunningC, stepMs_, 120000.0);
    updateFuel(setup);
    follow(pressureKpa_, onLpg_ ? kLpgPressureKpa - 5.0 * load_ : 0.0, stepMs_, 400.0);
    lambdaPhase_ += stepMs_ / 1000.0 * (0.8 + rpm_ / 3000.0);

    // On LPG the car computer lengthens its pulses by what the main correction lacks.
    double lacking = 0;
    if (onLpg_) {
        const bool mainOn = setup[kSetupFlags] & kFlagMainCorrection;
        const double mainMs = mainOn ? setup[kSetupMainCorrection] * 1000.0 / timerHz_ : 0.0;
        lacking = neededMs_ - mainMs;
    }
    follow(trimMs_, lacking, stepMs_, 200.0);
}

// The car computer's pulse: fuel follows the intake pressure, a little more at speed.
double CEngineModel::gasolineMs(unsigned index) {
    const double injectorSpread = 1.0 + 0.01 * (static_cast<int>(index % 4) - 1.5);
    const double base = 0.094 * intakeKpa_ * (1.0 + 0.1 * rpm_ / 6000.0) * injectorSpread;
    return std::max(0.5, base + trimMs_ + gauss(gasNoiseMs_));
}

CEngineModel::event_t CEngineModel::injection(const setup_line_t& setup, unsigned index) {
    event_t event;
    if (index >= injectors_) {
        return event;  // no injector there: no signal
    }
    const double gasMs = gasolineMs(index);
    event.period = static_cast<std::uint16_t>(periodTicks() + std::lround(gauss(2.0)));
    event.gasTime = ticks(gasMs);
    if (!onLpg_) {
        return event;
    }
    double addMs = 0;
    if (setup[kSetupFlags] & kFlagMainCorrection) {
        addMs = setup[kSetupMainCorrection] * 1000.0 / timerHz_;
    }
    // Below the reference pressure the LPG injectors need longer, above it shorter.
    double pressureMs = 0;
    if (setup[kSetupFlags] & kFlagPressureCorrection) {
        const double refKpa = std::max(1.0, pressureOfRaw(setup[kSetupRefPressure]));
        const double slope = static_cast<std::int8_t>(setup[kSetupSlope]) / 10.0;
        pressureMs = gasMs * 0.5 * slope * (refKpa - pressureKpa_) / refKpa;
    }
    event.timeAdd = ticks(addMs + std::max(0.0, pressureMs));
    event.timeSub = ticks(std::max(0.0, -pressureMs));
    return event;
}

diag_payload_t CEngineModel::sample(const setup_line_t& setup, unsigned index) {
    advance(setup);
    diag_payload_t p{};
    p[0] = onLpg_ ? kStateLpg : kStateGasoline;
    if (onLpg_) {
        for (unsigned i = 0; i < injectors_ && i < 8; ++i) {
            p[1] |= setup[kSetupMasks + i];
        }
    }
    p[2] = rawOfTemperature(reducerC_ + gauss(0.3));
    p[3] = rawOfTemperature(gasC_ + gauss(0.3));
    p[4] = rawOfTemperature(internalC_ + gauss(0.2));
    p[5] = rawOfSupply(14.0 + gauss(0.05));
    const double swing = std::tanh(3.0 * std::sin(2.0 * std::numbers::pi * lambdaPhase_));
    p[6] = rawOfVolts(std::clamp(0.5 + 0.4 * swing / std::tanh(3.0) + gauss(0.01), 0.0, 1.0));
    p[7] = rawOfPressure(pressureKpa_ + gauss(0.8));
    p[8] = rawOfPressure(pressureKpa_ + 1.0 + gauss(0.8));
    p[9] = rawOfPressure(intakeKpa_ + gauss(0.5));
    proto::putBE16(&p[10], periodTicks());
    const event_t first = injection(setup, index);
    proto::putBE16(&p[12], first.gasTime);
    proto::putBE16(&p[14], first.period);
    proto::putBE16(&p[16], first.gasTime);
    proto::putBE16(&p[18], first.timeSub);
    proto::putBE16(&p[20], first.timeAdd);
    // Now and then the controller caught the injector's previous pulse as well.
    if (std::bernoulli_distribution(0.25)(random_)) {
        const event_t second = injection(setup, index);
        proto::putBE16(&p[22], second.period);
        proto::putBE16(&p[24], second.gasTime);
        proto::putBE16(&p[26], second.timeSub);
        proto::putBE16(&p[28], second.timeAdd);
    }
    return p;
}

std::array<std::uint16_t, 8> CEngineModel::sequence(bool sequential) const {
    // Firing orders of common engines; others fire in injector order.
    static constexpr std::array<std::uint8_t, 4> kFour{0, 2, 3, 1};
    static constexpr std::array<std::uint8_t, 6> kSix{0, 4, 2, 5, 1, 3};
    static constexpr std::array<std::uint8_t, 8> kEight{0, 7, 3, 2, 5, 4, 6, 1};
    constexpr std::uint16_t kFirstOffset = 50;  // the earliest injector still reads non-zero

    std::array<std::uint16_t, 8> offsets{};
    const unsigned count = std::min(injectors_, 8u);
    if (count == 0) {
        return offsets;
    }
    const unsigned slot = sequential ? periodTicks() / count : 0;
    for (unsigned k = 0; k < count; ++k) {
        unsigned injector = k;
        if (count == 4) {
            injector = kFour[k];
        } else if (count == 6) {
            injector = kSix[k];
        } else if (count == 8) {
            injector = kEight[k];
        }
        offsets[injector] = static_cast<std::uint16_t>(kFirstOffset + k * slot);
    }
    return offsets;
}
