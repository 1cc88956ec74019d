// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/record_copy.h"

#include "link/device_info.h"
#include "settings/car_info.h"

void CRecordCopy::replaceSettings(device_info_t& target, const device_info_t& source) {
    device_info_t kept = target;
    target = source;
    target.version = kept.version;
    target.id = kept.id;
    target.injectors = kept.injectors;
    target.car() = kept.car();
    target.reducerPressure = kept.reducerPressure;
    target.clock = kept.clock;
}

void CRecordCopy::takeFile(device_info_t& target, const device_info_t& file, bool carInfoGiven) {
    replaceSettings(target, file);
    if (!carInfoGiven) {
        target.car() = file.car();
    }
}

CRecordCopy::Result CRecordCopy::loadFile(const std::string& path, device_info_t& target,
                                          bool carInfoGiven) {
    device_info_t file{};
    if (!CCarInfo::readCarSettingsFile(path, file)) {
        return Result::ReadFailed;
    }
    if (file.version != device_info_t::kVersion) {
        return Result::OtherVersion;
    }
    takeFile(target, file, carInfoGiven);
    return Result::Loaded;
}

void CRecordCopy::restoreFactory(device_info_t& target) {
    replaceSettings(target, device_info_t{});
}

const char* CRecordCopy::text(Result result) {
    switch (result) {
        case Result::ReadFailed:
            return kReadFailedText;
        case Result::OtherVersion:
            return kOtherVersionText;
        default:
            return "";
    }
}
