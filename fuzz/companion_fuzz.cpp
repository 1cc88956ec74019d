// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the settings history reader as a recording's "-config"
// companion. The history must hold exactly the leading whole records of version 4,
// read the same from the file as from memory, and each entry's image must be stable
// when read and written again.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "diag/settings_history.h"
#include "fuzz_support.h"

namespace {

using fuzz::check;

const std::string& recordingName() {
    static const std::string name = [] {
        std::string path = fuzz::scratchPath("companion-fuzz");
        ::unlink(path.c_str());
        return path;
    }();
    return name;
}

std::size_t leadingRecords(const std::uint8_t* data, std::size_t size) {
    std::size_t count = 0;
    for (std::size_t at = 0; size - at >= device_info_t::kSize; at += device_info_t::kSize) {
        if ((data[at] | (data[at + 1] << 8)) != device_info_t::kVersion) {
            break;
        }
        ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<device_info_t> parsed;
    const std::size_t count = CSettingsHistory::parseHistory(data, size, parsed);
    check(count == parsed.size() && count == leadingRecords(data, size));

    const std::string companion = CSettingsHistory::companionName(recordingName());
    fuzz::writeWhole(companion, data, size);
    std::vector<device_info_t> read;
    check(CSettingsHistory::readHistory(recordingName(), read));
    ::unlink(companion.c_str());
    check(read.size() == parsed.size());

    for (std::size_t i = 0; i < parsed.size(); ++i) {
        const auto image = parsed[i].toBytes();
        check(read[i].toBytes() == image);
        check(parsed[i].version == device_info_t::kVersion);
        device_info_t again;
        again.fromBytes(image.data());
        check(again.toBytes() == image);
    }
    return 0;
}
