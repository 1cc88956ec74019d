// The settings record: read, write with its preconditions, car information.
#include <ctime>

#include "link/lpg_device.h"

using namespace proto;

bool CLPGDevice::readSetup() {
    frame_t reply;
    request_rule_t rule;
    rule.replyType = MSG_TYPE_SETUP;
    if (!command(CMD_SETUP, 0, rule, reply, kSetupSize)) {
        return false;
    }
    info_.setup.fromLine(reply.payload());
    ui_.showMainCorrection(info_.setup.mainCorrection);
    return true;
}

bool CLPGDevice::ensureCarInfo() {
    if (carInfoGiven_ || unlocked_) {
        return true;
    }
    if (!ui_.askCarInfo()) {
        return false;
    }
    carInfoGiven_ = true;
    return true;
}

namespace {

std::string localTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40] = {};
    std::strftime(text, sizeof text, "%d-%m-%Y-%H:%M:%S", &local);
    return text;
}

}  // namespace

bool CLPGDevice::writeSetup() {
    if (!ensureCarInfo()) {
        ui_.messageBox(
            "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej "
            "instalacji");
        return false;
    }
    VersionBytes version{};
    if (!readVersion(version)) {
        ui_.messageBox("Nie można wczytać wersji urządzenia");
        return false;
    }
    if (info_.version != kSupportedVersion) {
        showVersionMismatch(info_.version);
        return false;
    }
    info_.timeStamp = localTimeStamp();
    if (store_ && !store_->store(info_)) {
        ui_.messageBox("Nie można wpisać ustawień do pliku z danymi samochodu",
                       IDeviceUi::Icon::Error);
        return false;
    }
    std::uint8_t payload[kBufferSize] = {};
    info_.setup.toLine(payload);
    if (!sendRecord(MSG_TYPE_SETUP, payload, kSetupSize)) {
        return false;
    }
    if (snapshotHook_) {
        snapshotHook_();
    }
    ui_.showMainCorrection(info_.setup.mainCorrection);
    return true;
}
