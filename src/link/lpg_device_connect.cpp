// SPDX-License-Identifier: GPL-3.0-or-later
// Finding, checking and identifying the controller.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "link/cipher.h"
#include "link/lpg_device.h"
#include "link/request_cancel.h"
#include "support/error_guard.h"

using namespace proto;

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 4;
// Controllers that carry this flag in their version field report version + 40000.
constexpr unsigned kVersionFlag = 40000;
constexpr std::chrono::year_month_day kDayZero{std::chrono::year{2004}, std::chrono::April,
                                               std::chrono::day{1}};

request_rule_t replyOfType(std::uint8_t type) {
    request_rule_t rule;
    rule.replyType = type;
    return rule;
}

}  // namespace

bool CLPGDevice::connect(int port) {
    bool answered = false;
    ErrorPtr error = catchError([&] {
        line_->close();
        line_->open(port);
        line_->configure();
        line_->setTimeouts(timeouts_);
        if (!controllerCheck()) {
            return;
        }
        connected_ = true;
        ui_.showConnected(true);
        answered = true;
    });
    if (!answered) {
        // The advice of an error's message comes before its technical line.
        const std::string text = error ? error->message() : std::string();
        attempts_.push_back({line_->portName(port), text.substr(0, text.find('\n'))});
        // A port without a controller is not kept: other programs may want it.
        catchError([&] { line_->close(); });
    }
    return !error && answered;
}

bool CLPGDevice::connectAuto() {
    attempts_.clear();
    // Ports 1 to 4, then any other USB adapter plugged in.
    const int last = std::max(kLastPort, line_->searchPorts());
    for (int port = kFirstPort; port <= last; ++port) {
        if (connect(port)) {
            return true;
        }
        if (CRequestCancel::requested()) {
            break;  // stopped by the user: no port question follows
        }
    }
    int port = kFirstPort;
    if (CRequestCancel::requested() || !ui_.askPort(port)) {
        ui_.messageBox("Połączenie z urządzeniem nie zostało nawiązane");
        return false;
    }
    attempts_.clear();
    if (connect(port)) {
        return true;
    }
    ui_.messageBox(std::string(kNoCommunication) + "\n" + connectReport(), IDeviceUi::Icon::Error);
    return false;
}

std::string CLPGDevice::connectReport() const {
    return reportOf(attempts_);
}

// A problem's advice ("Nie ma portu X: podłącz przejściówkę …") is the same for every port
// that gave it: each port names its problem, and each advice follows once.
std::string CLPGDevice::reportOf(const std::vector<connect_attempt_t>& attempts) {
    std::string text;
    std::vector<std::string> advice;
    bool silent = false;
    for (const connect_attempt_t& attempt : attempts) {
        const std::size_t colon = attempt.problem.find(": ");
        const std::string head =
            attempt.problem.empty() ? "sterownik nie odpowiada" : attempt.problem.substr(0, colon);
        text += attempt.port + ": " + head + "\n";
        if (colon != std::string::npos) {
            std::string rest = attempt.problem.substr(colon + 2);
            if (!rest.empty() && rest[0] >= 'a' && rest[0] <= 'z') {
                rest[0] = static_cast<char>(rest[0] - 'a' + 'A');  // it opens a line now
            }
            if (std::find(advice.begin(), advice.end(), rest) == advice.end()) {
                advice.push_back(rest);
            }
        }
        silent = silent || attempt.problem.empty();
    }
    for (const std::string& line : advice) {
        text += line + "\n";
    }
    if (silent) {
        text +=
            "Sprawdź, czy sterownik jest zasilany (zapłon włączony), czy przewód "
            "diagnostyczny jest podłączony do sterownika i do przejściówki, i czy wybrano port "
            "tej przejściówki.";
    }
    return text;
}

void CLPGDevice::disconnect() {
    line_->close();
    connected_ = false;
}

bool CLPGDevice::presenceTest() {
    frame_t reply;
    request_rule_t rule;
    rule.attempts = 3;
    rule.needDone = true;
    return command(CMD_TEST, 0, rule, reply);
}

bool CLPGDevice::controllerCheck() {
    if (!presenceTest()) {
        return false;
    }
    frame_t reply;
    if (!command(CMD_VERSION, 0, replyOfType(MSG_TYPE_VERSION), reply)) {
        ui_.messageBox("Nie powiodło się odczytanie wersji urządzenia!", IDeviceUi::Icon::Error);
        return true;  // it answers: the link stays connected
    }
    unsigned version = getU16(reply.payload() + 2);
    if (version > kVersionFlag) {
        version -= kVersionFlag;
        setClock(CControllerClock{});  // the flagged firmware keeps the usual clock
    }
    takeIdentity(static_cast<std::uint16_t>(version), reply.payload()[4],
                 CCipher::decipherId(reply.payload() + 5));

    ClockBytes clock{};
    if (readClock(clock)) {
        for (std::size_t i = 0; i < info_.clock.size(); ++i) {
            info_.clock[i] = getU32(clock.data() + 4 * i);
        }
    }
    if (version != kSupportedVersion) {
        showVersionMismatch(static_cast<int>(version));
        ui_.disableQuickEditor();
    }
    return true;
}

void CLPGDevice::showVersionMismatch(int version) {
    ui_.messageBox(versionMismatchText(version), IDeviceUi::Icon::Error);
}

std::string CLPGDevice::versionMismatchText(int version) {
    return (
        "Wersja sterownika LPG nie zgadza się z wersją oprogramowania PC!\n"
        "Szczegóły:\n"
        "   --wersja sterownika LPG - " +
        std::to_string(version) +
        "\n"
        "   --wersja oprogramowania PC - " +
        std::to_string(kSupportedVersion) +
        "\n"
        "Uruchom odpowiednią wersję oprogramowania PC.");
}

bool CLPGDevice::readVersion(VersionBytes& record) {
    frame_t reply;
    if (!command(CMD_VERSION, 0, replyOfType(MSG_TYPE_VERSION), reply)) {
        return false;
    }
    unsigned version = getU16(reply.payload() + 2);
    if (version > kVersionFlag) {
        version -= kVersionFlag;
    }
    takeIdentity(static_cast<std::uint16_t>(version), reply.payload()[4],
                 CCipher::decipherId(reply.payload() + 5));
    std::memcpy(record.data(), reply.payload(), record.size());
    return true;
}

bool CLPGDevice::readClock(ClockBytes& record) {
    frame_t reply;
    if (!command(CMD_CLOCK, 0, replyOfType(MSG_TYPE_CLOCK), reply)) {
        return false;
    }
    std::memcpy(record.data(), reply.payload(), record.size());
    // A frequency no controller has (0 from one that reports none) leaves the clock as
    // it was.
    if (const auto clock = CControllerClock::of(getU32(reply.payload() + 16))) {
        setClock(*clock);
    }
    return true;
}

bool CLPGDevice::readVersionRecord(version_record_t& record) {
    frame_t reply;
    if (!command(CMD_VERSION, 0, replyOfType(MSG_TYPE_VERSION), reply)) {
        return false;
    }
    using namespace std::chrono;
    const year_month_day date{sys_days{kDayZero} + days{getU16(reply.payload())}};
    record.day = static_cast<int>(static_cast<unsigned>(date.day()));
    record.month = static_cast<int>(static_cast<unsigned>(date.month()));
    record.year = static_cast<int>(date.year());
    record.version = getU16(reply.payload() + 2);
    record.injectors = reply.payload()[4];
    record.id = CCipher::decipherId(reply.payload() + 5);
    return true;
}

bool CLPGDevice::writeVersionRecord(const std::string& dateText, std::uint16_t version,
                                    std::uint8_t injectors, const std::string& id) {
    if (dateText.size() != 10) {
        return false;
    }
    using namespace std::chrono;
    const year_month_day date{
        year{std::atoi(dateText.substr(6).c_str())},
        month{static_cast<unsigned>(std::atoi(dateText.substr(3, 2).c_str()))},
        day{static_cast<unsigned>(std::atoi(dateText.substr(0, 2).c_str()))}};
    if (!date.ok()) {
        return false;
    }
    const auto count = (sys_days{date} - sys_days{kDayZero}).count();
    if (count < 0 || count > 0xFFFF) {
        return false;  // the record holds an unsigned 16-bit day count
    }
    std::uint8_t payload[kBufferSize] = {};
    putU16(payload, static_cast<std::uint16_t>(count));
    putU16(payload + 2, version);
    payload[4] = injectors;
    const CCipher::Block cipher = CCipher::encipherId(id.substr(0, 16));
    std::memcpy(payload + 5, cipher.data(), cipher.size());
    return sendRecord(MSG_TYPE_VERSION, payload, kVersionSize);
}
