// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_info.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

enum Offset : std::size_t {
    OFF_VERSION = 0,
    OFF_ID = 2,
    OFF_INJECTORS = 18,
    OFF_MAKE = 19,
    OFF_MODEL = 69,
    OFF_CAPACITY = 119,
    OFF_POWER = 124,
    OFF_YEAR = 128,
    OFF_INJ_FITTED = 133,
    OFF_CALIBRATED = 143,
    OFF_REDUCER = 160,
    OFF_CLOCK = 168,
    OFF_TIME_STAMP = device_info_t::kTimeStampOffset,
    OFF_NOTES = 228,
    OFF_POSITION = device_info_t::kPositionOffset,
    OFF_SWITCH_SPEED = 488,
    OFF_SWITCH_TEMP = 496,
    OFF_PULSES = 504,
    OFF_MIN_SUPPLY = 512,
    OFF_MAX_TEMP = 520,
    OFF_EMU_DELAY = 528,
    OFF_MAIN_CORR = 536,
    OFF_INJ_DELAY = 544,
    OFF_SLOPE = 552,
    OFF_REF_PRESSURE = 560,
    OFF_FLAGS = 564,
    OFF_THRESHOLD = 568,
    OFF_GAS_PRESSURE = 576,
    OFF_INJ_TYPE = 584,
    OFF_TIME_AVG = 585,
    OFF_PRESSURE_AVG = 586,
    OFF_MASKS = 587,
    OFF_TIME_TABLE = 600,
};

// Little-endian writer over the image, independent of the host's struct layout.
class Writer {
  public:
    explicit Writer(std::uint8_t* base) : base_(base) {}

    void u8(std::size_t at, std::uint8_t v) { base_[at] = v; }
    void u16(std::size_t at, std::uint16_t v) { put(at, v, 2); }
    void u32(std::size_t at, std::uint32_t v) { put(at, v, 4); }
    void f64(std::size_t at, double v) { put(at, std::bit_cast<std::uint64_t>(v), 8); }
    // Zero-terminated within the field unless `terminated` is false (fixed-width text).
    void text(std::size_t at, std::size_t field, const std::string& s, bool terminated = true) {
        const std::size_t room = terminated ? field - 1 : field;
        std::memcpy(base_ + at, s.data(), std::min(room, s.size()));
    }

  private:
    void put(std::size_t at, std::uint64_t v, int size) {
        for (int i = 0; i < size; ++i) {
            base_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
    std::uint8_t* base_;
};

class Reader {
  public:
    explicit Reader(const std::uint8_t* base) : base_(base) {}

    std::uint8_t u8(std::size_t at) const { return base_[at]; }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(get(at, 2)); }
    std::uint32_t u32(std::size_t at) const { return static_cast<std::uint32_t>(get(at, 4)); }
    double f64(std::size_t at) const { return std::bit_cast<double>(get(at, 8)); }
    std::string text(std::size_t at, std::size_t field) const {
        const auto* begin = reinterpret_cast<const char*>(base_ + at);
        return std::string(begin, strnlen(begin, field));
    }

  private:
    std::uint64_t get(std::size_t at, int size) const {
        std::uint64_t v = 0;
        for (int i = 0; i < size; ++i) {
            v |= std::uint64_t{base_[at + i]} << (8 * i);
        }
        return v;
    }
    const std::uint8_t* base_;
};

void writeSetup(Writer& w, const dev_setup_t& s) {
    w.f64(OFF_SWITCH_SPEED, s.switchSpeed);
    w.f64(OFF_SWITCH_TEMP, s.switchTemp);
    w.u8(OFF_PULSES, s.ignitionPulses);
    w.f64(OFF_MIN_SUPPLY, s.minSupply);
    w.f64(OFF_MAX_TEMP, s.maxInternalTemp);
    w.f64(OFF_EMU_DELAY, s.emulatorDelay);
    w.f64(OFF_MAIN_CORR, s.mainCorrection);
    w.f64(OFF_INJ_DELAY, s.lpgInjDelay);
    w.f64(OFF_SLOPE, s.pressureSlope);
    w.u32(OFF_REF_PRESSURE, static_cast<std::uint32_t>(s.refPressure));
    w.u8(OFF_FLAGS, s.flags);
    w.f64(OFF_THRESHOLD, s.rpmThreshold);
    w.f64(OFF_GAS_PRESSURE, s.gasSwitchPressure);
    w.u8(OFF_INJ_TYPE, s.injType);
    w.u8(OFF_TIME_AVG, s.timeAveraging);
    w.u8(OFF_PRESSURE_AVG, s.pressureAveraging);
    for (std::size_t i = 0; i < s.lpgMasks.size(); ++i) {
        w.u8(OFF_MASKS + i, s.lpgMasks[i]);
    }
}

void readSetup(const Reader& r, dev_setup_t& s) {
    s.switchSpeed = r.f64(OFF_SWITCH_SPEED);
    s.switchTemp = r.f64(OFF_SWITCH_TEMP);
    s.ignitionPulses = r.u8(OFF_PULSES);
    s.minSupply = r.f64(OFF_MIN_SUPPLY);
    s.maxInternalTemp = r.f64(OFF_MAX_TEMP);
    s.emulatorDelay = r.f64(OFF_EMU_DELAY);
    s.mainCorrection = r.f64(OFF_MAIN_CORR);
    s.lpgInjDelay = r.f64(OFF_INJ_DELAY);
    s.pressureSlope = r.f64(OFF_SLOPE);
    s.refPressure = static_cast<std::int32_t>(r.u32(OFF_REF_PRESSURE));
    s.flags = r.u8(OFF_FLAGS);
    s.rpmThreshold = r.f64(OFF_THRESHOLD);
    s.gasSwitchPressure = r.f64(OFF_GAS_PRESSURE);
    s.injType = r.u8(OFF_INJ_TYPE);
    s.timeAveraging = r.u8(OFF_TIME_AVG);
    s.pressureAveraging = r.u8(OFF_PRESSURE_AVG);
    for (std::size_t i = 0; i < s.lpgMasks.size(); ++i) {
        s.lpgMasks[i] = r.u8(OFF_MASKS + i);
    }
}

}  // namespace

std::array<std::uint8_t, device_info_t::kSize> device_info_t::toBytes() const {
    std::array<std::uint8_t, kSize> image{};
    Writer w(image.data());
    w.u16(OFF_VERSION, version);
    w.text(OFF_ID, kIdSize, id, false);
    w.u8(OFF_INJECTORS, injectors);
    w.text(OFF_MAKE, kMakeField, make);
    w.text(OFF_MODEL, kModelField, model);
    w.text(OFF_CAPACITY, kCapacityField, capacity);
    w.text(OFF_POWER, kPowerField, power);
    w.text(OFF_YEAR, kYearField, year);
    w.text(OFF_INJ_FITTED, kInjectorsField, injectorsFitted);
    w.text(OFF_CALIBRATED, kCalibratedField, calibratedFor);
    w.f64(OFF_REDUCER, reducerPressure);
    for (std::size_t i = 0; i < clock.size(); ++i) {
        w.u32(OFF_CLOCK + 4 * i, clock[i]);
    }
    w.text(OFF_TIME_STAMP, kTimeStampField, timeStamp);
    w.text(OFF_NOTES, kNotesField, notes);
    w.u32(OFF_POSITION, recordPosition);
    writeSetup(w, setup);
    for (std::size_t i = 0; i < timeTable.size(); ++i) {
        w.f64(OFF_TIME_TABLE + 8 * i, timeTable[i]);
    }
    return image;
}

void device_info_t::fromBytes(const std::uint8_t* bytes) {
    const Reader r(bytes);
    version = r.u16(OFF_VERSION);
    id = r.text(OFF_ID, kIdSize);
    injectors = r.u8(OFF_INJECTORS);
    make = r.text(OFF_MAKE, kMakeField);
    model = r.text(OFF_MODEL, kModelField);
    capacity = r.text(OFF_CAPACITY, kCapacityField);
    power = r.text(OFF_POWER, kPowerField);
    year = r.text(OFF_YEAR, kYearField);
    injectorsFitted = r.text(OFF_INJ_FITTED, kInjectorsField);
    calibratedFor = r.text(OFF_CALIBRATED, kCalibratedField);
    reducerPressure = r.f64(OFF_REDUCER);
    for (std::size_t i = 0; i < clock.size(); ++i) {
        clock[i] = r.u32(OFF_CLOCK + 4 * i);
    }
    timeStamp = r.text(OFF_TIME_STAMP, kTimeStampField);
    notes = r.text(OFF_NOTES, kNotesField);
    recordPosition = r.u32(OFF_POSITION);
    readSetup(r, setup);
    for (std::size_t i = 0; i < timeTable.size(); ++i) {
        timeTable[i] = r.f64(OFF_TIME_TABLE + 8 * i);
    }
}
