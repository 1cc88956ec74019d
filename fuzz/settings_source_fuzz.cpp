// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary input to the settings sources of `settings diff`: the first line is
// what follows a recording's name on the command line ("-config#3", "#0", "#x" …), the
// rest is the recording's companion file. A source is either refused with a message or
// names a snapshot from 1 up; reading it gives a record of the one supported version or
// a message, never both.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/settings_source.h"
#include "fuzz_support.h"
#include "link/device_info.h"

namespace {

using fuzz::check;

const std::string& recording() {
    static const std::string name = fuzz::scratchPath("settings-source-fuzz") + ".lpgd";
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find('\n');
    const std::string suffix = input.substr(0, end);
    const std::string companion = end == std::string::npos ? "" : input.substr(end + 1);
    fuzz::writeWhole(recording() + "-config", companion.data(), companion.size());

    CSettingsSource source;
    std::string message;
    const auto parsed = CSettingsSource::parse(recording() + suffix, source, message);
    if (parsed != CSettingsSource::Problem::None) {
        check(!message.empty());
        return 0;
    }
    if (source.kind() != CSettingsSource::Kind::Snapshot) {
        return 0;
    }
    check(source.snapshot() >= 1 && source.snapshot() <= CSettingsSource::kMaxSnapshot);
    device_info_t info;
    message.clear();
    const auto read = source.read(info, message);
    check((read == CSettingsSource::Problem::None) == message.empty());
    if (read == CSettingsSource::Problem::None) {
        check(info.version == device_info_t::kVersion);
    }
    return 0;
}
