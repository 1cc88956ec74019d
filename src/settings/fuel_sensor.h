// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/protocol.h"

// The tank level sensor as the controller's level display uses it: four thresholds
// (in the controller's order 3/4, 1/2, 1/4, reserve) on the sensor's 0..255 reading,
// the ready values of the known sensor types, and the four lamps of the display.
class CFuelSensor {
  public:
    using Thresholds = std::array<std::uint8_t, proto::kFuelSensorSize>;
    enum Index { THREE_QUARTERS = 0, HALF = 1, QUARTER = 2, RESERVE = 3 };
    // In the order the type list shows them.
    enum class Type { Aeb1050, ReserveOnly, Other };
    enum class Lamp { Green, Yellow, Red, Grey };
    struct rgb_t {
        std::uint8_t r, g, b;
        bool operator==(const rgb_t&) const = default;
    };
    using Lamps = std::array<Lamp, 4>;  // lamps 1 (beside "1/1") to 4 (beside "1/4")

    // What a dialog holds before anything was read from the controller.
    static constexpr Thresholds kInitial{1, 40, 100, 200};
    static constexpr int kMaxReading = 255;

    static const std::vector<Type>& types();
    static const char* typeName(Type type);
    // The ready values; none for "Inny", which keeps what is shown.
    static std::optional<Thresholds> typeValues(Type type);
    // The type whose values equal the thresholds one by one, else "Inny".
    static Type matchingType(const Thresholds& thresholds);

    // Strictly rising (reserve < 1/4 < 1/2 < 3/4) or strictly falling.
    static bool orderValid(const Thresholds& thresholds);
    // A falling sensor gives low readings for a full tank (3/4 below the reserve).
    static bool falling(const Thresholds& thresholds);
    // The reading lies past the reserve threshold: lamp 4 blinks.
    static bool inReserve(const Thresholds& thresholds, int reading);
    // The lamps for a reading; in the reserve lamp 4 is red when `blinkOn`, else grey.
    static Lamps lamps(const Thresholds& thresholds, int reading, bool blinkOn);
    static rgb_t colour(Lamp lamp);

    // How a refusal names the field of a threshold.
    static const char* fieldName(Index field);

    static constexpr const char* kOrderText =
        "Nieprawidłowe wartości.\nPowinny być wprowadzone w porządku rosnącym lub malejącym.";
};
