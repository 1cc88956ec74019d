// SPDX-License-Identifier: GPL-3.0-or-later
// Compares the settings of two arbitrary records (the input cut in two and padded with
// zeros). A record equals itself, the differences are the same fields both ways round
// with the values swapped, and their texts are one line a difference.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "link/device_info.h"
#include "settings/settings_compare.h"

namespace {

using fuzz::check;

dev_setup_t setupOf(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, device_info_t::kSize> bytes{};
    std::copy_n(data, std::min(size, bytes.size()), bytes.begin());
    device_info_t info;
    info.fromBytes(bytes.data());
    return info.setup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t half = size / 2;
    const dev_setup_t a = setupOf(data, half);
    const dev_setup_t b = setupOf(data + half, size - half);
    check(CSettingsCompare::differences(a, a).empty());
    const auto ab = CSettingsCompare::differences(a, b);
    const auto ba = CSettingsCompare::differences(b, a);
    check(ab.size() == ba.size());
    for (std::size_t i = 0; i < ab.size(); ++i) {
        check(ab[i].name == ba[i].name && ab[i].aText == ba[i].bText && ab[i].bText == ba[i].aText);
    }
    const std::string text = CSettingsCompare::text(ab);
    check(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) == ab.size());
    CSettingsCompare::labelledText(ab);
    return 0;
}
