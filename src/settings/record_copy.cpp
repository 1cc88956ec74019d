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
    target.make = kept.make;
    target.model = kept.model;
    target.capacity = kept.capacity;
    target.power = kept.power;
    target.year = kept.year;
    target.injectorsFitted = kept.injectorsFitted;
    target.calibratedFor = kept.calibratedFor;
    target.reducerPressure = kept.reducerPressure;
    target.clock = kept.clock;
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
    replaceSettings(target, file);
    if (!carInfoGiven) {
        target.make = file.make;
        target.model = file.model;
        target.capacity = file.capacity;
        target.power = file.power;
        target.year = file.year;
        target.injectorsFitted = file.injectorsFitted;
        target.calibratedFor = file.calibratedFor;
    }
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
