// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "corrections/inj_map_cells.h"
#include "corrections/map_proposal.h"
#include "link/device_info.h"
#include "link/lpg_device.h"

// What the setup report of an installation holds, as texts and numbers ready to print:
// gathered from what the program holds and what was read fresh from the controller.
class CSetupReportModel {
  public:
    using row_t = std::pair<std::string, std::string>;  // label, value

    struct sources_t {
        const device_info_t* info = nullptr;
        std::optional<version_record_t> version;
        std::array<std::uint8_t, injmap::kCells> map{};
        // The map's last build, when the map shown came from one.
        std::optional<map_proposal_t> proposal;
        std::vector<std::string> autoSetupLog;
        std::optional<std::string> errors;  // decoded; "" when the report is clean
        std::optional<std::vector<sequence_entry_t>> sequence;
        bool staggered = true;  // the injectors fire one after another
        std::time_t when = 0;
    };

    explicit CSetupReportModel(const sources_t& sources);

    // "Raport-<Marka>-<Model>-<dd-mm-yyyy>.pdf", characters a file name cannot hold replaced.
    static std::string fileName(const std::string& make, const std::string& model,
                                std::time_t when);

    const std::string& created() const { return created_; }
    const std::vector<row_t>& car() const { return car_; }
    const std::string& notes() const { return notes_; }
    const std::vector<row_t>& controller() const { return controller_; }
    const std::vector<row_t>& settings() const { return settings_; }
    const device_info_t& info() const { return info_; }
    const std::array<int, injmap::kCells>& mapPercent() const { return mapPercent_; }
    const std::optional<map_proposal_t>& proposal() const { return proposal_; }
    const std::vector<std::string>& autoSetupLog() const { return autoSetupLog_; }
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& sequence() const { return sequence_; }

  private:
    void gatherCar();
    void gatherController(const sources_t& sources);
    void gatherSettings();
    void gatherErrors(const std::optional<std::string>& decoded);
    void gatherSequence(const sources_t& sources);

    device_info_t info_;
    std::string created_;
    std::vector<row_t> car_;
    std::string notes_;
    std::vector<row_t> controller_;
    std::vector<row_t> settings_;
    std::array<int, injmap::kCells> mapPercent_{};
    std::optional<map_proposal_t> proposal_;
    std::vector<std::string> autoSetupLog_;
    std::vector<std::string> errors_;
    std::vector<std::string> sequence_;
};
