// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/lpg_device_err.h"

#include <set>

CLPGDeviceErr::CLPGDeviceErr() {
    decoders_.push_back(std::make_unique<CMemError>());
    decoders_.push_back(std::make_unique<CTmrError>());
    decoders_.push_back(std::make_unique<CI2CErr>());
    decoders_.push_back(std::make_unique<CEEPROMError>());
    decoders_.push_back(std::make_unique<CInjError>());
    decoders_.push_back(std::make_unique<CSensorErr>());
    decoders_.push_back(std::make_unique<CVect7Error>());
    decoders_.push_back(std::make_unique<CVect15Error>());
    decoders_.push_back(std::make_unique<CVect23Error>());
    decoders_.push_back(std::make_unique<CVect31Error>());
    decoders_.push_back(std::make_unique<CVect32Error>());
}

CLPGDeviceErr::~CLPGDeviceErr() = default;

std::string CLPGDeviceErr::decodeReport(const report_t& report) const {
    std::string text;
    for (std::size_t i = 0; i < report.size(); ++i) {
        const std::string faults = decoders_[i]->decode(report[i]);
        if (!faults.empty()) {
            text += " Moduł: " + decoders_[i]->name() + ", kod błędu: " + faults + "\r\n";
        }
    }
    return text;
}

std::vector<std::string> CLPGDeviceErr::adviceFor(const report_t& report) const {
    std::set<error_family_t> families;
    for (std::size_t i = 0; i < report.size(); ++i) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            if (report[i] & (1u << bit)) {
                families.insert(decoders_[i]->family(bit));
            }
        }
    }
    std::vector<std::string> advice;
    for (const error_family_t family : families) {
        advice.emplace_back(errorAdvice(family));
    }
    return advice;
}
