// Commands that need no controller, and live recording.
#include <cctype>
#include <cstdio>

#include "cli/cli_app.h"
#include "cli/cli_options.h"

using nlohmann::json;

int CCliApp::cmdDecodeErrors() {
    const std::string& hex = opt_->hex;
    CLPGDevice::report_t report{};
    if (hex.size() != 2 * report.size()) {
        return fail(EXIT_USAGE, "the report needs 22 hex digits");
    }
    for (std::size_t i = 0; i < report.size(); ++i) {
        unsigned value = 0;
        const std::string digits = hex.substr(2 * i, 2);
        if (!std::isxdigit(static_cast<unsigned char>(digits[0])) ||
            !std::isxdigit(static_cast<unsigned char>(digits[1])) ||
            std::sscanf(digits.c_str(), "%2x", &value) != 1) {
            return fail(EXIT_USAGE, "not a hex digit in: " + digits);
        }
        report[i] = static_cast<std::uint8_t>(value);
    }
    CLPGDeviceErr decoders;
    std::string text = decoders.decodeReport(report);
    if (text.empty()) {
        text = "Brak błędów.";
    }
    std::string upper = hex;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return print(json{{"report", upper}, {"text", text}}, text + "\n");
}

int CCliApp::cmdInspect() {
    return fail(EXIT_USAGE, "inspect: not available yet");
}

int CCliApp::cmdRecord() {
    return fail(EXIT_USAGE, "record: not available yet");
}
