// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_compare.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "link/setup_fields.h"

namespace {

// Values read back from the controller carry the rounding of their conversion
// (1.2 ms comes back as 1.2000000000000002); that is not a difference. A value that is
// not finite equals only the same value (NaN equals NaN here, so a file equals itself).
bool sameValue(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) {
        return (std::isnan(a) && std::isnan(b)) || a == b;
    }
    return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

std::string valueText(double value, const char* unit) {
    std::ostringstream text;
    text << value;
    if (*unit) {
        text << ' ' << unit;
    }
    return text.str();
}

std::string masksText(const std::array<std::uint8_t, 8>& masks) {
    std::ostringstream text;
    for (std::size_t i = 0; i < masks.size(); ++i) {
        text << (i ? " " : "") << int{masks[i]};
    }
    return text.str();
}

}  // namespace

std::vector<setting_change_t> CSettingsCompare::differences(const dev_setup_t& a,
                                                            const dev_setup_t& b) {
    std::vector<setting_change_t> changes;
    for (const auto& field : setupFields()) {
        const double va = field.get(a), vb = field.get(b);
        if (!sameValue(va, vb)) {
            changes.push_back(
                {field.name, &field, va, vb, valueText(va, field.unit), valueText(vb, field.unit)});
        }
    }
    if (a.lpgMasks != b.lpgMasks) {
        changes.push_back(
            {"injectorMasks", nullptr, 0, 0, masksText(a.lpgMasks), masksText(b.lpgMasks)});
    }
    return changes;
}

std::string CSettingsCompare::text(const std::vector<setting_change_t>& changes) {
    std::string text;
    for (const auto& change : changes) {
        text += change.name + ": " + change.aText + " | " + change.bText + "\n";
    }
    return text;
}

namespace {

std::string polishUnits(std::string text) {
    const std::string english = "rev/min";
    if (const auto at = text.find(english); at != std::string::npos) {
        text.replace(at, english.size(), "obr/min");
    }
    return text;
}

}  // namespace

std::string CSettingsCompare::labelledText(const std::vector<setting_change_t>& changes) {
    std::string text;
    for (const auto& change : changes) {
        const std::string label = change.field ? change.field->label : "Maski wtryskiwaczy LPG";
        text += label + ": " + polishUnits(change.aText) + " | " + polishUnits(change.bText) + "\n";
    }
    return text;
}
