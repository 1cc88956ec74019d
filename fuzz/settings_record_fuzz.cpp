// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the settings record: a timer frequency, a 26-byte line and a
// set of values in engineering units. A decoded line must encode to a line that decodes
// to the same values, and every set of values that passes the check must survive its
// line form without wrapping (no field may come back as something else).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "link/controller_clock.h"
#include "link/dev_setup.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::abort();
    }
}

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <typename T>
    T take() {
        T value{};
        const std::size_t n = std::min(sizeof value, size_ - at_);
        if (n > 0) {  // an empty input may come as a null pointer
            std::memcpy(&value, data_ + at_, n);
        }
        at_ += n;
        return value;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Controller timer frequencies from 10 kHz to about 200 kHz, and the usual 40 kHz.
CControllerClock chooseClock(Input& in) {
    const auto pick = in.take<std::uint16_t>();
    return pick != 0 ? *CControllerClock::of(10000ul + pick * 3ul) : CControllerClock{};
}

void decodedLinesAreStable(Input& in, const CControllerClock& clock) {
    std::uint8_t line[dev_setup_t::kLineSize];
    for (auto& b : line)
        b = in.take<std::uint8_t>();
    dev_setup_t decoded;
    decoded.fromLine(line, clock);
    std::uint8_t again[dev_setup_t::kLineSize];
    decoded.toLine(again, clock);
    dev_setup_t redecoded;
    redecoded.fromLine(again, clock);
    if (decoded.check(clock).empty()) {
        check(redecoded == decoded, "decoded line stable");
    }
}

bool near(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance;
}

void checkedValuesSurviveTheLine(Input& in, const CControllerClock& clock) {
    dev_setup_t s;
    s.switchSpeed = in.take<double>();
    s.switchTemp = in.take<double>();
    s.minSupply = in.take<double>();
    s.maxInternalTemp = in.take<double>();
    s.emulatorDelay = in.take<double>();
    s.mainCorrection = in.take<double>();
    s.lpgInjDelay = in.take<double>();
    s.pressureSlope = in.take<double>();
    s.refPressure = in.take<std::int32_t>();
    s.rpmThreshold = in.take<double>();
    s.gasSwitchPressure = in.take<double>();
    if (!s.check(clock).empty()) {
        return;
    }
    std::uint8_t line[dev_setup_t::kLineSize];
    s.toLine(line, clock);
    dev_setup_t back;
    back.fromLine(line, clock);
    const double tick = clock.timeUnit();
    check(near(back.mainCorrection, s.mainCorrection, tick), "mainCorrection");
    check(near(back.lpgInjDelay, s.lpgInjDelay, tick), "lpgInjDelay");
    check(near(back.switchSpeed, s.switchSpeed, s.switchSpeed * 0.02 + 1), "switchSpeed");
    check(near(back.refPressure, s.refPressure, 1.5), "refPressure");
    check(near(back.gasSwitchPressure, s.gasSwitchPressure, 1.5), "gasSwitchPressure");
    check(near(back.pressureSlope, s.pressureSlope, 0.11), "pressureSlope");
    check(near(back.emulatorDelay, s.emulatorDelay, 0.51), "emulatorDelay");
    check(near(back.minSupply, s.minSupply, 0.25), "minSupply");
    check(near(back.rpmThreshold, s.rpmThreshold, 0.075), "rpmThreshold");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const CControllerClock clock = chooseClock(in);
    decodedLinesAreStable(in, clock);
    checkedValuesSurviveTheLine(in, clock);
    return 0;
}
