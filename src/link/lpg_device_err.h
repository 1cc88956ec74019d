// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/device_errors.h"

// Holds the error-report decoders, one per controller module in report byte order.
class CLPGDeviceErr {
  public:
    static constexpr std::size_t kReportSize = 11;
    using report_t = std::array<std::uint8_t, kReportSize>;

    CLPGDeviceErr();
    virtual ~CLPGDeviceErr();

    // The whole report as display text; empty when every byte is 0.
    std::string decodeReport(const report_t& report) const;
    // One line of advice per family of the faults reported, injectors first; empty when
    // every byte is 0.
    std::vector<std::string> adviceFor(const report_t& report) const;
    const CDeviceErrorBase& decoder(std::size_t index) const { return *decoders_.at(index); }

  private:
    std::vector<std::unique_ptr<CDeviceErrorBase>> decoders_;
};
