#include "settings/settings_fields.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace {

template <class T>
setup_field_t field(const char* name, const char* unit, T dev_setup_t::*member) {
    return {name, unit, std::is_integral_v<T>,
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
        field("switchRpm", "rev/min", &dev_setup_t::switchSpeed),
        field("switchTemperature", "°C", &dev_setup_t::switchTemp),
        field("ignitionPulses", "", &dev_setup_t::ignitionPulses),
        field("minSupplyVoltage", "V", &dev_setup_t::minSupply),
        field("maxInternalTemperature", "°C", &dev_setup_t::maxInternalTemp),
        field("emulatorDelay", "s", &dev_setup_t::emulatorDelay),
        field("mainCorrection", "ms", &dev_setup_t::mainCorrection),
        field("lpgInjectionDelay", "ms", &dev_setup_t::lpgInjDelay),
        field("pressureSlope", "", &dev_setup_t::pressureSlope),
        field("referencePressure", "kPa", &dev_setup_t::refPressure),
        field("functionFlags", "", &dev_setup_t::flags),
        field("rpmThresholdVoltage", "V", &dev_setup_t::rpmThreshold),
        field("gasolinePressure", "kPa", &dev_setup_t::gasSwitchPressure),
        field("injectionType", "", &dev_setup_t::injType),
        field("timeAveraging", "", &dev_setup_t::timeAveraging),
        field("pressureAveraging", "", &dev_setup_t::pressureAveraging),
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
