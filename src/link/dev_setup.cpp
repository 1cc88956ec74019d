// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/dev_setup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "link/controller_clock.h"
#include "link/conversions.h"
#include "link/setup_fields.h"

namespace {

enum Offset : std::size_t {
    OFF_INJ_DELAY = 0,
    OFF_REF_PRESSURE = 2,
    OFF_SLOPE = 3,
    OFF_SWITCH_PERIOD = 4,
    OFF_SWITCH_TEMP = 6,
    OFF_MAIN_CORR = 7,
    OFF_PULSES = 8,
    OFF_FLAGS = 9,
    OFF_MAX_TEMP = 10,
    OFF_MIN_SUPPLY = 11,
    OFF_EMU_DELAY = 12,
    OFF_MASKS = 13,
    OFF_GAS_PRESSURE = 21,
    OFF_THRESHOLD = 22,
    OFF_INJ_TYPE = 23,
    OFF_TIME_AVG = 24,
    OFF_PRESSURE_AVG = 25,
};

std::uint16_t getHost16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void putHost16(std::uint8_t* p, std::uint16_t v) {
    std::memcpy(p, &v, sizeof v);
}

// Out-of-range values keep their low bits, as the controller's fields are that wide.
std::uint8_t low8(std::int64_t v) {
    return static_cast<std::uint8_t>(v);
}
std::uint16_t low16(std::int64_t v) {
    return static_cast<std::uint16_t>(v);
}

// Truncation toward zero without undefined behaviour for absurd inputs.
std::int64_t truncated(double x) {
    return conv::nearest(std::trunc(x));
}

double ticksToRoundedMs(double ticks, const CControllerClock& clock) {
    return conv::roundToPrecision(clock.ticksToMs(ticks), 3);
}

constexpr std::int64_t kByteMax = 0xFF;
constexpr std::int64_t kWordMax = 0xFFFF;

// " przy zegarze sterownika 80 kHz"
std::string clockText(const CControllerClock& clock) {
    return " przy zegarze sterownika " + conv::polishNumber(1.0 / clock.timeUnit(), 3) + " kHz";
}

// The field's own refusal as the start of a longer one: "Błędna wartość X:".
std::string refusalLead(const setup_field_t& field, const CControllerClock& clock) {
    std::string lead = field.checkMessage;
    if (!lead.empty() && lead.back() == '\n') {
        lead.pop_back();
    }
    return lead + ":" + clockText(clock);
}

// A time's tick count must fit its field (`maxTicks`); a faster controller clock needs
// more ticks for the same time. Gives the message naming the field, or nothing.
std::string timeFits(const setup_field_t& field, double ms, std::int64_t maxTicks,
                     const CControllerClock& clock) {
    if (conv::nearest(clock.msToTicks(ms)) <= maxTicks) {
        return {};
    }
    // The largest time that fits, rounded down so that it fits itself.
    const double most = std::floor(clock.ticksToMs(static_cast<double>(maxTicks)) * 1000) / 1000;
    return refusalLead(field, clock) + " wpisz najwyżej " + conv::polishNumber(most, 3) + " ms\n";
}

// The switch-over speed travels as an engine period in ticks, one word: a faster clock
// makes slow speeds too long a period, a very slow one makes fast speeds no period.
std::string speedFits(const setup_field_t& field, double rpm, const CControllerClock& clock) {
    const std::int64_t period = conv::nearest(clock.rpmToPeriod(rpm));
    if (period > kWordMax) {
        // nearest() stays within the word below half a tick past it.
        const double lowest = std::ceil(clock.speedConstant() / (kWordMax + 0.5));
        return refusalLead(field, clock) + " wpisz co najmniej " + conv::polishNumber(lowest, 0) +
               " obr/min\n";
    }
    if (period < 1) {
        const double highest = std::floor(clock.speedConstant() / 0.5);
        return refusalLead(field, clock) + " wpisz najwyżej " + conv::polishNumber(highest, 0) +
               " obr/min\n";
    }
    return {};
}

std::string clockFits(const setup_field_t& field, double value, const CControllerClock& clock) {
    switch (field.clockBound) {
        case setup_field_t::ClockBound::TicksInByte:
            return timeFits(field, value, kByteMax, clock);
        case setup_field_t::ClockBound::TicksInWord:
            return timeFits(field, value, kWordMax, clock);
        case setup_field_t::ClockBound::PeriodInWord:
            return speedFits(field, value, clock);
        case setup_field_t::ClockBound::None:
            break;
    }
    return {};
}

// The fields that have a range, in the order their refusals are listed.
std::vector<const setup_field_t*> checkedFields() {
    std::vector<const setup_field_t*> checked;
    for (const auto& field : setupFields()) {
        if (field.hasRange()) {
            checked.push_back(&field);
        }
    }
    std::sort(checked.begin(), checked.end(),
              [](const auto* a, const auto* b) { return a->checkOrder < b->checkOrder; });
    return checked;
}

}  // namespace

void dev_setup_t::toLine(std::uint8_t out[kLineSize], const CControllerClock& clock) const {
    // The controller reads only the low byte of the injection delay at the usual clock,
    // where 6 ms is 240 ticks. A faster clock needs more ticks for the same delay; the
    // high byte is then sent too rather than silently dropped.
    const std::int64_t delayTicks = conv::nearest(clock.msToTicks(lpgInjDelay));
    putHost16(out + OFF_INJ_DELAY, delayTicks > 0xFF ? low16(delayTicks) : low8(delayTicks));
    out[OFF_REF_PRESSURE] = low8(conv::nearest(conv::pressureToRaw(refPressure)));
    out[OFF_SLOPE] = low8(truncated(pressureSlope * 10.0));
    putHost16(out + OFF_SWITCH_PERIOD, low16(conv::nearest(clock.rpmToPeriod(switchSpeed))));
    out[OFF_SWITCH_TEMP] = conv::temperatureToRaw(switchTemp);
    out[OFF_MAIN_CORR] = low8(conv::nearest(clock.msToTicks(mainCorrection)));
    out[OFF_PULSES] = ignitionPulses;
    out[OFF_FLAGS] = flags;
    out[OFF_MAX_TEMP] = conv::temperatureToRaw(maxInternalTemp);
    out[OFF_MIN_SUPPLY] = low8(conv::nearest(conv::supplyToRaw(minSupply)));
    out[OFF_EMU_DELAY] = low8(truncated(emulatorDelay * 2.0));
    std::memcpy(out + OFF_MASKS, lpgMasks.data(), lpgMasks.size());
    out[OFF_GAS_PRESSURE] = low8(conv::nearest(conv::pressureToRaw(gasSwitchPressure)));
    out[OFF_THRESHOLD] = low8(conv::nearest(conv::voltsToRaw8(rpmThreshold)));
    out[OFF_INJ_TYPE] = injType;
    out[OFF_TIME_AVG] = timeAveraging;
    out[OFF_PRESSURE_AVG] = pressureAveraging;
}

void dev_setup_t::fromLine(const std::uint8_t in[kLineSize], const CControllerClock& clock) {
    lpgInjDelay = ticksToRoundedMs(getHost16(in + OFF_INJ_DELAY), clock);
    refPressure =
        static_cast<std::int32_t>(conv::nearest(conv::rawToPressure(in[OFF_REF_PRESSURE])));
    pressureSlope = static_cast<std::int8_t>(in[OFF_SLOPE]) / 10.0;
    switchSpeed =
        static_cast<double>(conv::nearest(clock.periodToRpm(getHost16(in + OFF_SWITCH_PERIOD))));
    switchTemp = conv::rawToTemperature(in[OFF_SWITCH_TEMP]);
    mainCorrection = ticksToRoundedMs(in[OFF_MAIN_CORR], clock);
    ignitionPulses = in[OFF_PULSES];
    flags = in[OFF_FLAGS];
    maxInternalTemp = conv::rawToTemperature(in[OFF_MAX_TEMP]);
    minSupply = conv::roundToPrecision(conv::rawToSupply(in[OFF_MIN_SUPPLY]), 1);
    emulatorDelay = conv::roundToPrecision(in[OFF_EMU_DELAY] / 2.0, 1);
    std::memcpy(lpgMasks.data(), in + OFF_MASKS, lpgMasks.size());
    gasSwitchPressure =
        static_cast<double>(conv::nearest(conv::rawToPressure(in[OFF_GAS_PRESSURE])));
    rpmThreshold = conv::roundToPrecision(conv::raw8ToVolts(in[OFF_THRESHOLD]), 1);
    injType = in[OFF_INJ_TYPE];
    timeAveraging = in[OFF_TIME_AVG];
    pressureAveraging = in[OFF_PRESSURE_AVG];
}

// Every refusal at once, field by field: out of range, too large for the controller's
// clock, or in range but stored by the controller's own steps as a value outside it (15 V
// of minimum supply is stored as 15.1 V, which would refuse every later write).
std::string dev_setup_t::check(const CControllerClock& clock) const {
    static const std::vector<const setup_field_t*> checked = checkedFields();
    std::uint8_t line[kLineSize] = {};
    toLine(line, clock);
    dev_setup_t stored;
    stored.fromLine(line, clock);
    std::string msgs;
    for (const setup_field_t* field : checked) {
        const double value = field->get(*this);
        if (!field->inRange(value)) {
            msgs += field->checkMessage;
        } else if (const std::string fits = clockFits(*field, value, clock); !fits.empty()) {
            msgs += fits;
        } else if (!field->inRange(field->get(stored))) {
            std::string lead = field->checkMessage;
            lead.pop_back();
            msgs += lead +
                    ": sterownik zapisze ją jako wartość spoza zakresu, "
                    "wpisz wartość odrobinę bliższą środka zakresu\n";
        }
    }
    return msgs;
}

void dev_setup_t::setFlag(Flag f, bool on) {
    flags = static_cast<std::uint8_t>(on ? (flags | f) : (flags & ~f));
}

void dev_setup_t::setGasoline12V(bool on) {
    injType = static_cast<std::uint8_t>(on ? (injType | INJ_12V) : (injType & ~INJ_12V));
}

dev_setup_t::Sequence dev_setup_t::sequence() const {
    if (injType & INJ_NON_SEQ) {
        return Sequence::Non;
    }
    return (injType & INJ_HALF_SEQ) ? Sequence::Half : Sequence::Full;
}

void dev_setup_t::setSequence(Sequence s) {
    std::uint8_t bits = injType & ~(INJ_HALF_SEQ | INJ_NON_SEQ);
    if (s == Sequence::Half) {
        bits |= INJ_HALF_SEQ;
    } else if (s == Sequence::Non) {
        bits |= INJ_NON_SEQ;
    }
    injType = bits;
}
