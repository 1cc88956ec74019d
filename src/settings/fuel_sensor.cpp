// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/fuel_sensor.h"

namespace {

constexpr CFuelSensor::Thresholds kAeb1050{42, 130, 170, 225};
constexpr CFuelSensor::Thresholds kReserveOnly{225, 170, 130, 42};

}  // namespace

const std::vector<CFuelSensor::Type>& CFuelSensor::types() {
    static const std::vector<Type> list{Type::Aeb1050, Type::ReserveOnly, Type::Other};
    return list;
}

const char* CFuelSensor::typeName(Type type) {
    switch (type) {
        case Type::Aeb1050:
            return "Czujnik AEB1050";
        case Type::ReserveOnly:
            return "Czujnik rezerwy";
        default:
            return "Inny";
    }
}

std::optional<CFuelSensor::Thresholds> CFuelSensor::typeValues(Type type) {
    switch (type) {
        case Type::Aeb1050:
            return kAeb1050;
        case Type::ReserveOnly:
            return kReserveOnly;
        default:
            return std::nullopt;
    }
}

CFuelSensor::Type CFuelSensor::matchingType(const Thresholds& thresholds) {
    for (Type type : types()) {
        if (typeValues(type) == thresholds) {
            return type;
        }
    }
    return Type::Other;
}

bool CFuelSensor::orderValid(const Thresholds& v) {
    const int t = v[THREE_QUARTERS], h = v[HALF], q = v[QUARTER], r = v[RESERVE];
    return (r < q && q < h && h < t) || (r > q && q > h && h > t);
}

bool CFuelSensor::falling(const Thresholds& v) {
    return v[THREE_QUARTERS] < v[RESERVE];
}

namespace {

// How many of the four levels the reading still lights (4 = above 3/4, 0 = reserve).
int levelsLit(const CFuelSensor::Thresholds& v, int a) {
    const bool falling = CFuelSensor::falling(v);
    // For a falling sensor a level is reached below its threshold, for a rising one above.
    auto reached = [&](int threshold) { return falling ? a < threshold : threshold < a; };
    if (reached(v[CFuelSensor::THREE_QUARTERS]))
        return 4;
    if (reached(v[CFuelSensor::HALF]))
        return 3;
    if (reached(v[CFuelSensor::QUARTER]))
        return 2;
    if (reached(v[CFuelSensor::RESERVE]))
        return 1;
    return 0;
}

}  // namespace

bool CFuelSensor::inReserve(const Thresholds& thresholds, int reading) {
    return levelsLit(thresholds, reading) == 0;
}

CFuelSensor::Lamps CFuelSensor::lamps(const Thresholds& thresholds, int reading, bool blinkOn) {
    const int lit = levelsLit(thresholds, reading);
    if (lit == 0) {
        return {Lamp::Grey, Lamp::Grey, Lamp::Grey, blinkOn ? Lamp::Red : Lamp::Grey};
    }
    Lamps lamps{Lamp::Green, Lamp::Green, Lamp::Yellow, Lamp::Red};
    for (int i = 0; i < 4 - lit; ++i) {
        lamps[i] = Lamp::Grey;
    }
    return lamps;
}

CFuelSensor::rgb_t CFuelSensor::colour(Lamp lamp) {
    switch (lamp) {
        case Lamp::Green:
            return {0, 255, 0};
        case Lamp::Yellow:
            return {255, 255, 0};
        case Lamp::Red:
            return {255, 0, 0};
        default:
            return {50, 50, 50};
    }
}

const char* CFuelSensor::fieldName(Index field) {
    switch (field) {
        case THREE_QUARTERS:
            return "próg między 1/1 a 3/4";
        case HALF:
            return "próg między 3/4 a 1/2";
        case QUARTER:
            return "próg między 1/2 a 1/4";
        default:
            return "próg między 1/4 a rezerwą";
    }
}
