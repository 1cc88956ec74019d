// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_fields.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace {

template <class T>
setup_field_t field(const char* name, const char* label, const char* unit, T dev_setup_t::*member) {
    return {name,
            label,
            unit,
            std::is_integral_v<T>,
            [member](const dev_setup_t& s) { return static_cast<double>(s.*member); },
            [member, name](dev_setup_t& s, double v) {
                if constexpr (std::is_integral_v<T>) {
                    // A byte field cannot hold 300; refuse instead of wrapping around.
                    if (v != std::floor(v) || v < std::numeric_limits<T>::min() ||
                        v > std::numeric_limits<T>::max()) {
                        throw std::out_of_range(std::string("value out of range for ") + name);
                    }
                }
                s.*member = static_cast<T>(v);
            }};
}

}  // namespace

const std::vector<setup_field_t>& setupFields() {
    static const std::vector<setup_field_t> fields = {
        field("switchRpm", "Obroty automatycznego przejścia na LPG", "rev/min",
              &dev_setup_t::switchSpeed),
        field("switchTemperature", "Temperatura automatycznego przejścia na LPG", "°C",
              &dev_setup_t::switchTemp),
        field("ignitionPulses", "Ilość zapłonów na cykl", "", &dev_setup_t::ignitionPulses),
        field("minSupplyVoltage", "Minimalne napięcie zasilania", "V", &dev_setup_t::minSupply),
        field("maxInternalTemperature", "Maksymalna temperatura wewnętrzna", "°C",
              &dev_setup_t::maxInternalTemp),
        field("emulatorDelay", "Opóźnienie włączenia emulatora", "s", &dev_setup_t::emulatorDelay),
        field("mainCorrection", "Główna poprawka", "ms", &dev_setup_t::mainCorrection),
        field("lpgInjectionDelay", "Opóźnienie wtrysku LPG", "ms", &dev_setup_t::lpgInjDelay),
        field("pressureSlope", "Poprawki od ciśnienia różnicowego: nachylenie", "",
              &dev_setup_t::pressureSlope),
        field("referencePressure", "Poprawki od ciśnienia różnicowego: referencja", "kPa",
              &dev_setup_t::refPressure),
        field("functionFlags", "Funkcje sterownika", "", &dev_setup_t::flags),
        field("rpmThresholdVoltage", "Napięcie progowe dla sygnału obrotów", "V",
              &dev_setup_t::rpmThreshold),
        field("gasolinePressure", "Ciśnienie przełączenia na benzynę", "kPa",
              &dev_setup_t::gasSwitchPressure),
        field("injectionType", "Typ wtrysku benzynowego", "", &dev_setup_t::injType),
        field("timeAveraging", "Uśrednianie wtrysku benz. po (obrotach)", "",
              &dev_setup_t::timeAveraging),
        field("pressureAveraging", "Uśrednianie ciśnienia po (obrotach)", "",
              &dev_setup_t::pressureAveraging),
    };
    return fields;
}

const setup_field_t* findSetupField(const std::string& name) {
    for (const auto& f : setupFields()) {
        if (name == f.name) {
            return &f;
        }
    }
    return nullptr;
}
