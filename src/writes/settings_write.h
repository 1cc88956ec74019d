// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "link/i_car_settings_store.h"
#include "link/lpg_device.h"
#include "writes/write_outcome.h"

// The local time of day, "HH:MM:SS", as writes report when they were acknowledged.
std::string clockTime();

// The settings write: one procedure for every window and for the command line. In this
// order: every field checked; the car known, the version read and the car file prepared,
// so that whatever can fail here fails before anything is sent; the record sent; then,
// once the controller acknowledged it, the file, its history and the recording's snapshot
// committed from what the controller now holds, the job's car and the notes. The outcome
// says which of these happened; the front end tells the user.
class CSettingsWrite {
  public:
    // Called with the record as filed after every acknowledged write (the recording's
    // settings snapshot).
    using Snapshot = std::function<void(const device_info_t&)>;

    explicit CSettingsWrite(CLPGDevice& device, ICarSettingsStore* store = nullptr,
                            Snapshot snapshot = {});

    // The car library to file in; none files nothing (the service unlock with no car).
    void setStore(ICarSettingsStore* store) { store_ = store; }
    void setSnapshot(Snapshot snapshot) { snapshot_ = std::move(snapshot); }

    // A write made ready: checked, the car known, the version read and the car file
    // prepared; nothing is sent yet, and dropping it leaves the library as it was. A
    // transfer that the settings switch on (a map, a table) goes between the two halves,
    // so that nothing is sent when the settings could not follow.
    struct prepared_t {
        dev_setup_t setup;
        dev_setup_t stored;
        device_info_t filed;
        bool fileable = false;
        std::string unfiled;
        std::unique_ptr<ICarSettingsStore::IPending> pending;
    };

    setup_write_t write(const dev_setup_t& setup);
    // Refused when no car is known to file under (and the program is not unlocked).
    setup_write_t checkCar();
    // The first half: a refused outcome, or NotAnswered with `ready` filled in.
    setup_write_t prepare(const dev_setup_t& setup, prepared_t& ready);
    // The second half: sends what was prepared, then files it.
    setup_write_t send(prepared_t& ready);
    // Files what the controller holds now (read first) without writing anything: after a
    // transfer that replaced the settings. Refused, or written (filed or why not).
    setup_write_t fileHeld();

  private:
    // The car known, the version read, the file of `setup` as stored prepared.
    setup_write_t prepareFiling(const dev_setup_t& setup, prepared_t& ready);
    setup_write_t refuse(setup_write_t::Refusal why, const std::string& problem,
                         setup_write_t::Severity severity = setup_write_t::Severity::None);
    // The record to file for a write of `stored`: the held table, the job's car, the
    // notes. False with `problem` when the held state lacks the table and it cannot be read.
    bool recordToFile(const dev_setup_t& stored, device_info_t& filed, std::string& problem);
    void refreshTable(prepared_t& ready);
    void commit(std::unique_ptr<ICarSettingsStore::IPending> pending, bool fileable,
                const std::string& unfiled, setup_write_t& result);

    CLPGDevice& device_;
    ICarSettingsStore* store_;
    Snapshot snapshot_;
};
