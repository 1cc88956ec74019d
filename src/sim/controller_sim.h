// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/protocol.h"
#include "sim/engine_model.h"
#include "sim/sim_faults.h"

// One request as the controller received it.
struct sim_request_t {
    std::uint8_t type = 0;
    std::uint8_t length = 0;
    std::uint8_t command = 0;     // first payload byte of a command frame, else 0
    std::uint16_t parameter = 0;  // parameter of a command frame, else 0
    bool checkOk = true;
    std::size_t number = 0;  // counts every request the controller took, from 1
    // The requests whose replies went out in answer to this one, in order: its own, or
    // one held back before it first.
    std::vector<std::size_t> sent;
};

// The controller side of the protocol: the records it holds, the answer to every command
// and record write, and the engine behind its diagnostic payloads. All operations may be
// called from any thread.
class CControllerSim {
  public:
    static constexpr std::size_t kEepromSize = 512;
    static constexpr std::size_t kMapAddress = 104;
    static constexpr std::size_t kMapSize = 400;
    static constexpr std::uint16_t kDefaultVersion = 4;
    static constexpr std::uint16_t kDefaultProgrammingDay = 7305;  // 1 April 2024
    static constexpr std::uint8_t kDefaultInjectors = 4;
    static constexpr const char* kDefaultId = "SIM0000000000001";
    static constexpr std::uint32_t kDefaultClockHz = 40000;

    using eeprom_t = std::array<std::uint8_t, kEepromSize>;
    using error_report_t = std::array<std::uint8_t, proto::kErrorReportSize>;
    using table_t = std::array<std::uint8_t, proto::kTableEntries>;
    using fuel_thresholds_t = std::array<std::uint8_t, proto::kFuelSensorSize>;
    using clock_words_t = std::array<std::uint32_t, 5>;

    explicit CControllerSim(std::uint32_t seed = 1);

    // One complete request frame in line order; gives the bytes the controller sends
    // back (stray bytes included), empty when it stays silent.
    std::vector<std::uint8_t> handle(const std::uint8_t* frame, std::size_t size);
    std::vector<std::uint8_t> handle(const std::vector<std::uint8_t>& frame) {
        return handle(frame.data(), frame.size());
    }
    // The same, each reply with the number of the request it answers; `number` is this
    // request's own.
    std::vector<sim_reply_t> handleTagged(const std::uint8_t* frame, std::size_t size,
                                          std::size_t& number);

    // Version record.
    void setVersion(std::uint16_t version);
    void setProgrammingDay(std::uint16_t daysSince1April2004);
    void setInjectors(std::uint8_t count);
    void setId(const std::string& id);
    std::string id() const;
    std::array<std::uint8_t, proto::kVersionSize> versionRecord() const;

    // Clock record: feature word, three words shown to the user, timer frequency.
    void setClock(const clock_words_t& words);
    void setClockHz(std::uint32_t hz);
    clock_words_t clock() const;

    // Settings record in line form; the factory defaults at start.
    static setup_line_t defaultSetup();
    void setSetup(const setup_line_t& setup);
    setup_line_t setup() const;

    eeprom_t eeprom() const;
    void setEeprom(const eeprom_t& bytes);
    table_t timeTable() const;  // line bytes: entry + 100
    void setTimeTable(const table_t& bytes);
    fuel_thresholds_t fuelThresholds() const;
    void setFuelThresholds(const fuel_thresholds_t& thresholds);
    void setFuelLevel(std::uint8_t reading);
    std::uint8_t fuelLevel() const;

    // A non-zero report sets status bit 4 on command replies until cleared.
    void setErrorReport(const error_report_t& report);
    error_report_t errorReport() const;

    WorkMode workMode() const;
    void setWorkMode(WorkMode mode);
    bool onLpg() const;

    // Engine behind the diagnostic payloads.
    void setProfile(EngineProfile profile);
    void setNeededCorrection(double ms);
    void setGasTimeNoise(double ms);
    void setEngineStepMs(double ms);
    void setWarm(bool warm);
    void setSequential(bool sequential);
    // Injection starts the controller reports instead of the engine's (ticks in injector
    // order, 0 = not fitted); an empty list gives the engine's again.
    void setSequence(const std::vector<std::uint16_t>& ticks);

    // Writes of this record type are answered with CMD_ERROR and not stored, as a
    // controller does that will not take them (or taken again, with `refuse` false).
    void refuseWrites(std::uint8_t type, bool refuse = true);

    CSimFaults& faults() { return faults_; }
    // Replaces the controller's own answers (a replayed wire trace); faults still apply.
    using Responder = std::function<std::vector<std::uint8_t>(const std::uint8_t*, std::size_t)>;
    void setResponder(Responder responder);
    const CSimFaults& faults() const { return faults_; }

    std::vector<sim_request_t> requests() const;
    std::size_t requestCount() const;
    void clearRequests();

  private:
    using Payload = std::vector<std::uint8_t>;

    std::vector<std::uint8_t> answer(const std::uint8_t* frame, std::size_t size);
    std::vector<std::uint8_t> answerCommand(const std::uint8_t* payload, std::uint8_t length);
    std::vector<std::uint8_t> answerWrite(std::uint8_t type, const std::uint8_t* payload,
                                          std::uint8_t length);
    std::vector<std::uint8_t> commandReply(std::uint8_t code, std::uint16_t parameter,
                                           std::uint16_t status) const;
    std::vector<std::uint8_t> done(std::uint16_t parameter) const;
    std::array<std::uint8_t, proto::kVersionSize> makeVersionRecord() const;
    Payload eepromBlock(std::uint16_t address) const;
    Payload clockPayload() const;
    Payload diagPayload(std::uint16_t injectorIndex);
    Payload sequencePayload() const;
    std::uint8_t nextFuelLevel();
    bool holdsErrors() const;
    void record(const std::uint8_t* frame, std::size_t size, bool checkOk);

    mutable std::mutex mutex_;
    CSimFaults faults_;
    Responder responder_;
    CEngineModel engine_;
    std::uint16_t programmingDay_ = kDefaultProgrammingDay;
    std::uint16_t version_ = kDefaultVersion;
    std::uint8_t injectors_ = kDefaultInjectors;
    std::array<std::uint8_t, 16> idBytes_{};
    clock_words_t clock_{};
    setup_line_t setup_{};
    std::set<std::uint8_t> refusedWrites_;
    eeprom_t eeprom_{};
    table_t table_{};
    fuel_thresholds_t fuelThresholds_{42, 130, 170, 225};
    std::uint8_t fuelLevel_ = 100;
    int fuelStep_ = 3;
    error_report_t errors_{};
    bool sequential_ = true;
    std::vector<std::uint16_t> sequence_;
    std::vector<sim_request_t> log_;
    std::size_t taken_ = 0;
};
