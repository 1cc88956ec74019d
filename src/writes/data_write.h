// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "link/lpg_device.h"
#include "writes/settings_write.h"
#include "writes/write_outcome.h"

// The transfers to the controller, each one procedure for every window and for the command
// line: the injection map, the time-correction table, the fuel-sensor thresholds and an
// EEPROM restore. A map or table goes in this order: its switch-on settings read, checked
// and made ready with the car file (whatever can fail here fails before anything is sent);
// the data sent; read back and compared; the settings that switch it on sent and filed;
// the controller restarted so that it takes the new function. Every way a transfer can end
// part-way (no answer, a refusal, the port lost, Stop) gives an Incomplete outcome that
// says what the controller now holds.
class CDataWrite {
  public:
    using MapCells = std::array<std::uint8_t, CLPGDevice::kMapSize>;
    using Table = std::array<double, device_info_t::kTimeTableSize>;
    using Image = std::array<std::uint8_t, CLPGDevice::kEepromSize>;

    // A map cell that leaves the injection time as it is.
    static constexpr std::uint8_t kNoMapCorrection = 100;

    CDataWrite(CLPGDevice& device, CSettingsWrite& settings);

    // With `switchOn` false the settings are left as they are (the command line's
    // --keep-functions): the data is written and verified only.
    write_outcome_t writeMap(const MapCells& cells, bool switchOn = true);
    write_outcome_t writeTable(const Table& values, bool switchOn = true);
    write_outcome_t writeFuel(const CLPGDevice::FuelThresholds& thresholds);
    // Replaces the whole EEPROM, then reads the settings and the table it brought and files
    // them, so that the car library holds what the controller now holds.
    write_outcome_t restoreEeprom(const Image& image);

    // The settings that switch a map or table on after an outcome NotSwitchedOn: written
    // again from what the controller holds now.
    write_outcome_t switchMapOn(const MapCells& cells);
    write_outcome_t switchTableOn(const Table& values);

    // The table bit follows whether any stored value is not zero.
    static std::uint8_t withTableFlag(std::uint8_t flags, const Table& values);
    // The table as the controller's record stores it (whole percent toward zero, in the
    // byte's range).
    static Table storedTable(const Table& values);

  private:
    using Flags = std::function<void(dev_setup_t&)>;
    struct transfer_t {
        const char* failed;      // "Nie powiodło się wpisanie mapy wtrysków do urządzenia!"
        const char* what;        // "mapa", as in "mapa jest w sterowniku…"
        bool restart = false;    // the controller takes the function after a restart
        std::function<bool()> send;
        std::function<std::string()> verify;  // empty when the read-back matches
        std::function<std::string()> held;    // what a part-way transfer left
    };
    write_outcome_t transfer(const transfer_t& data, const Flags& flags, bool switchOn);
    write_outcome_t switchOn(const transfer_t& data, const Flags& flags);
    write_outcome_t switchSettings(const transfer_t& data, CSettingsWrite::prepared_t& ready);
    static write_outcome_t notSwitchedOn(const transfer_t& data, const write_outcome_t& settings,
                                         const std::string& portError);
    write_outcome_t sent(const transfer_t& data, bool& sentWhole);
    write_outcome_t readSwitchSettings(const transfer_t& data, const Flags& flags,
                                       CSettingsWrite::prepared_t& ready);
    transfer_t mapTransfer(const MapCells& cells);
    transfer_t tableTransfer(const Table& values);
    void restart(write_outcome_t& outcome);

    CLPGDevice& device_;
    CSettingsWrite& settings_;
};
