// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/device_info.h"
#include "link/i_car_settings_store.h"
#include "link/i_device_ui.h"
#include "link/i_serial_line.h"
#include "link/lpg_device_err.h"
#include "link/protocol.h"
#include "link/reply_timer.h"
#include "support/fair_mutex.h"

// One frame in the exchange buffer: payload (then the check word) in host order.
struct frame_t {
    std::array<std::uint8_t, proto::kBufferSize> buf{};
    std::uint8_t length = 0;
    std::uint8_t type = 0;

    std::uint8_t* payload() { return buf.data(); }
    const std::uint8_t* payload() const { return buf.data(); }
};

// How a controller operation repeats its request and which reply ends it.
struct request_rule_t {
    int attempts = 10;
    // Pause before every attempt, taken outside the exchange mutex.
    std::chrono::milliseconds pause{0};
    std::uint8_t replyType = proto::MSG_TYPE_COMMAND;
    // The reply's first payload byte must be CMD_DONE.
    bool needDone = false;
    // A well-formed reply of another type ends the operation at once.
    bool stopOnOtherType = false;
    // Skip the status-word check (the single diagnostic-sample request).
    bool unchecked = false;
    // The reply answers this very request (an EEPROM block of the address asked for).
    std::function<bool(const frame_t&)> matches;
};

// One injector of a decoded firing sequence.
struct sequence_entry_t {
    int injector = 0;  // 1 to 8
    double timeMs = 0;
    bool present = false;
    int position = 0;  // 1 = fires first
};

// One 8-byte EEPROM block with its address.
struct eeprom_block_t {
    std::uint16_t address = 0;
    std::array<std::uint8_t, 8> data{};
};

// The version and identity record as the version dialog shows it.
struct version_record_t {
    int day = 1, month = 4, year = 2004;  // programming date
    std::uint16_t version = 4;
    std::uint8_t injectors = 0;
    std::string id;
};

// The controller as the program sees it: owns the line and the exchange mutex, finds
// and checks the controller, and holds the data the other parts read and write.
class CLPGDevice : public CLPGDeviceErr {
  public:
    using Sleeper = std::function<void(std::chrono::milliseconds)>;
    using VersionBytes = std::array<std::uint8_t, proto::kVersionSize>;
    using ClockBytes = std::array<std::uint8_t, proto::kClockSize>;
    using DiagPayload = std::array<std::uint8_t, proto::kDiagSize>;
    using FuelThresholds = std::array<std::uint8_t, proto::kFuelSensorSize>;
    static constexpr int kSupportedVersion = 4;
    static constexpr std::uint16_t kMapAddress = 104;
    static constexpr std::size_t kMapSize = 400;
    static constexpr std::size_t kMapAreaSize = 408;
    static constexpr std::size_t kEepromSize = 512;

    // Uses `line` for every exchange (the real serial port, the simulated controller or
    // a test double); the device owns it.
    CLPGDevice(IDeviceUi& ui, std::unique_ptr<ISerialLine> line);
    ~CLPGDevice() override;

    // One request/reply exchange in `buf` (kBufferSize bytes). In: request length and
    // type; out: the reply's. True when a well-formed reply arrived; serial-port
    // failures raise CRSError. With `expected`, a frame the rule does not accept that is
    // followed at once by another is a late answer to an earlier request: the later
    // frame is taken.
    bool exchange(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type,
                  const request_rule_t* expected = nullptr);
    bool exchangeUnchecked(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type,
                           const request_rule_t* expected = nullptr);
    // The reply satisfies the rule's type, acknowledgement and address.
    static bool accepts(const request_rule_t& rule, const frame_t& reply);

    // The request loop every controller operation uses.
    bool request(const std::uint8_t* payload, std::uint8_t length, std::uint8_t type,
                 const request_rule_t& rule, frame_t& reply);
    // A command request (type 4) with its parameter; `length` is 6 except for the
    // settings and diagnostic requests, which carry the size of their reply record.
    bool command(std::uint8_t code, std::uint16_t parameter, const request_rule_t& rule,
                 frame_t& reply, std::uint8_t length = proto::kCommandSize);

    // Connection.
    // What one port of the last search gave: the port answered nothing (problem empty), or
    // could not be opened (problem says why and what to do).
    struct connect_attempt_t {
        std::string port;
        std::string problem;
    };
    static constexpr const char* kNoCommunication =
        "Nie można nawiązać komunikacji z urządzeniem LPG";
    bool connect(int port);
    // Ports 1 to 4, then the port question; returns whether a controller answered.
    bool connectAuto();
    // Closes the line; the controller counts as not connected until it answers again.
    void disconnect();
    bool isConnected() const { return connected_; }
    // The ports the last search tried, in order.
    const std::vector<connect_attempt_t>& connectAttempts() const { return attempts_; }
    // The tried ports, one a line with what each gave, then what to check.
    std::string connectReport() const;
    static std::string reportOf(const std::vector<connect_attempt_t>& attempts);
    bool readVersion(VersionBytes& record);
    // The box that says the controller's firmware is not the one this program is for.
    void showVersionMismatch(int version);
    static std::string versionMismatchText(int version);
    bool readClock(ClockBytes& record);

    // The version dialog: the record as stored (no version flag rule) and its write.
    bool readVersionRecord(version_record_t& record);
    // Sends nothing unless the date text is exactly 10 characters ("dd/mm/yyyy").
    bool writeVersionRecord(const std::string& dateText, std::uint16_t version,
                            std::uint8_t injectors, const std::string& id);

    // Settings record. Every writer owns its record: it reads what the controller holds
    // into it, changes it, and writes exactly that. Background reads (the live panel's
    // poll, the report) never touch a record someone is editing.
    bool readSetup(dev_setup_t& into);
    // Refreshes only the copy of what the controller holds.
    bool readSetup();
    // What the controller was last seen to hold (read or acknowledged).
    dev_setup_t heldSetup() const;
    // Takes the notes and table of an editor's record, and its car while the job's car has
    // not been given (a car settings file may bring one); the settings stay what the
    // controller holds until a write is acknowledged.
    void adoptRecord(const device_info_t& record);
    // The time-correction table as the controller was last seen to hold it; empty before
    // it was read or written. The table in info() is the one being edited.
    std::optional<std::array<double, device_info_t::kTimeTableSize>> heldTable() const;
    // The held table, read from the controller first when it is not known yet; empty when
    // that read fails.
    std::optional<std::array<double, device_info_t::kTimeTableSize>> controllerTable();
    // The held table is no longer known (the EEPROM was replaced): read again when needed.
    void forgetTable();
    std::string checkSetup(const dev_setup_t& setup) const { return setup.check(clock()); }
    // The record as the controller's fields store it (2.7 s of delay becomes 2.5 s).
    dev_setup_t storedForm(const dev_setup_t& setup) const;
    // The connected controller's clock (the usual one until its clock record was read);
    // what its settings' times and speeds and its live values are converted with.
    CControllerClock clock() const;
    // Sends the record; once the controller acknowledged it, holds its stored form and
    // the write's time stamp. The checks and the filing are the settings write's.
    bool sendSetup(const dev_setup_t& setup, const std::string& timeStamp);
    // The whole record as held now (settings, car, notes, identity).
    device_info_t heldRecord() const;
    // The job's car: given by the car dialog (or `--car`), kept for every write of the
    // connection, and cleared when a controller with another ID answers.
    void setJobCar(const car_description_t& car);
    // A write may go ahead: the car was given or the program is unlocked.
    bool carKnown() const { return carInfoGiven_ || unlocked_; }
    bool jobCarGiven() const { return carInfoGiven_; }

    // Command set.
    bool setWorkLPG();
    bool setWorkGas();
    bool setWorkAuto();
    bool readErrors(report_t& report);
    bool clearErrors();
    bool requestDiag(int injector, DiagPayload& payload);
    bool readSequence(std::vector<sequence_entry_t>& entries, bool& staggered);
    bool readEepromBlock(eeprom_block_t& block);
    bool writeEepromBlock(const eeprom_block_t& block);
    bool readEeprom(std::uint8_t* buffer, std::uint16_t address, std::size_t size);
    bool writeEeprom(const std::uint8_t* buffer, std::uint16_t address, std::size_t size);
    // Bytes the last EEPROM range write got acknowledged: after a failure above 0, the
    // controller holds part new and part old data.
    std::size_t eepromWritten() const { return eepromWritten_; }
    bool readMap();
    bool writeMap();
    bool readTimeTable();
    // Reads the table into `into` (and the held copy) without touching the edited one.
    bool readTimeTable(std::array<double, device_info_t::kTimeTableSize>& into);
    bool writeTimeTable();
    bool readFuelSensor(FuelThresholds& thresholds);
    bool writeFuelSensor(const FuelThresholds& thresholds);
    bool readFuelLevel(std::uint16_t& value);

    // Decodes a sequence reply (eight values in ticks, 0 = not seen). `staggered` is
    // false only when at least two injectors are seen and all of them open within 1 ms
    // of the first; an injector not seen takes no part.
    static std::vector<sequence_entry_t> decodeSequence(const std::uint16_t values[8],
                                                        bool& staggered,
                                                        const CControllerClock& clock);
    static std::uint16_t mapCheckWord(const std::uint8_t* map);

    // Data held for the other parts.
    device_info_t& info() { return info_; }
    const device_info_t& info() const { return info_; }
    std::array<std::uint8_t, kMapSize>& map() { return map_; }
    const std::array<std::uint8_t, 6>& mapTail() const { return mapTail_; }
    const report_t& lastErrorReport() const { return errorReport_; }

    // Car information and the service unlock decide whether writes need the car dialog.
    void setCarInfoGiven(bool given) { carInfoGiven_ = given; }
    bool carInfoGiven() const { return carInfoGiven_; }
    void setUnlocked(bool unlocked) { unlocked_ = unlocked; }
    bool unlocked() const { return unlocked_; }

    ISerialLine& line() { return *line_; }
    // Handed to waiting threads in turn: a thread that asks for the line gets it before
    // the acquisition worker's next exchange.
    CFairMutex& exchangeMutex() { return mutex_; }
    // A controller operation (a request loop or a whole EEPROM transfer) is under way on
    // some thread; the port must not be closed meanwhile.
    bool operationRunning() const { return operations_.load() > 0; }
    // An EEPROM transfer (a backup, a restore, a map) runs: it has the line to itself, and
    // the live worker leaves it alone until the transfer ends.
    bool transferRunning() const { return transfers_.load() > 0; }
    // Frames skipped as late answers to earlier requests.
    std::uint64_t lateFrames() const { return lateFrames_.load(); }
    // Well-formed frames that arrived, for any exchange of any thread: while it grows the
    // controller is there, however many of one thread's requests went unanswered.
    std::uint64_t framesSeen() const { return framesSeen_.load(); }
    // Called by every exchange that took a reply, the exchange mutex still held (the
    // simulator's tests check which request the reply answered).
    void setReplyHook(std::function<void()> hook) { replyHook_ = std::move(hook); }
    IDeviceUi& ui() { return ui_; }

    // Time-outs and pauses are values tests shorten. The read time-out is the longest an
    // exchange waits; once the controller's replies were timed, a shorter one is learned.
    void setReadTimeouts(const serial_timeouts_t& timeouts);
    const serial_timeouts_t& readTimeouts() const { return timeouts_; }
    // How long the next exchange waits for its reply's header.
    int replyWaitMs() const;
    void setWorkModePause(std::chrono::milliseconds pause) { workModePause_ = pause; }
    std::chrono::milliseconds workModePause() const { return workModePause_; }
    // How pauses are waited; the window program keeps its event loop running.
    void setSleeper(Sleeper sleeper) { sleeper_ = std::move(sleeper); }

  protected:
    // Waits outside the exchange mutex; cut short when the thread's procedure is stopped.
    void pause(std::chrono::milliseconds duration);

    // Counts a controller operation for operationRunning() while it lives.
    class operation_scope_t {
      public:
        explicit operation_scope_t(const CLPGDevice& device) : count_(device.operations_) {
            ++count_;
        }
        ~operation_scope_t() { --count_; }
        operation_scope_t(const operation_scope_t&) = delete;
        operation_scope_t& operator=(const operation_scope_t&) = delete;

      private:
        std::atomic<int>& count_;
    };

  private:
    // Counts an EEPROM transfer for transferRunning() while it lives.
    class transfer_scope_t {
      public:
        explicit transfer_scope_t(std::atomic<int>& count) : count_(count) { ++count_; }
        ~transfer_scope_t() { --count_; }
        transfer_scope_t(const transfer_scope_t&) = delete;
        transfer_scope_t& operator=(const transfer_scope_t&) = delete;

      private:
        std::atomic<int>& count_;
    };

    bool controllerCheck();
    bool presenceTest();
    bool workMode(std::uint8_t code);
    void holdSetup(const dev_setup_t& setup);
    void setClock(const CControllerClock& clock);
    void holdTable(const std::array<double, device_info_t::kTimeTableSize>& table);
    // Takes the identity a version reply gives; another controller than the one before
    // ends the job's car, so its first write asks for the car again.
    void takeIdentity(std::uint16_t version, std::uint8_t injectors, const std::string& id);
    bool simpleCommand(std::uint8_t code, std::uint16_t parameter = 0);
    bool sendRecord(std::uint8_t type, const std::uint8_t* payload, std::uint8_t length);
    bool exchangeFrame(std::uint8_t* buf, std::uint8_t& length, std::uint8_t& type,
                       bool checkStatus, const request_rule_t* expected);
    enum class ReadResult { None, Bad, Frame };
    // Reads one frame in line order into `frame`; with `quiet` the header may fail to
    // come within the quiet time (None).
    ReadResult readFrame(frame_t& frame, bool quiet);
    // After the first frame: a second one right behind it is the answer.
    ReadResult readBehind(frame_t& frame);
    void handleStoredErrors(std::uint16_t status);
    // Reads and drops whatever still arrives until the line has been quiet for a moment,
    // then empties the receive buffer. The first quiet spell lasts `firstQuietMs` (a late
    // reply's chance to show itself); whether anything arrived in it.
    bool settleLine(int firstQuietMs);
    // The line's read time-outs with the learned reply wait.
    serial_timeouts_t replyTimeouts() const;
    // A failed exchange; `silent` when nothing at all came back.
    bool failed(bool silent);

    IDeviceUi& ui_;
    std::unique_ptr<ISerialLine> line_;
    CFairMutex mutex_;
    mutable std::atomic<int> operations_{0};
    std::atomic<int> transfers_{0};
    std::atomic<std::uint64_t> lateFrames_{0};
    std::atomic<std::uint64_t> framesSeen_{0};
    std::function<void()> replyHook_;
    serial_timeouts_t timeouts_;
    CReplyTimer replyTimer_;  // held by the exchange mutex
    std::chrono::milliseconds workModePause_{500};
    Sleeper sleeper_;
    // An attempt failed: the next reply may be followed by another (held by the exchange
    // mutex).
    bool unsettled_ = false;

    bool connected_ = false;
    std::vector<connect_attempt_t> attempts_;
    bool carInfoGiven_ = false;
    bool unlocked_ = false;
    device_info_t info_;
    CControllerClock clock_;
    // Guards info_.setup, which a worker's write and the window's poll both refresh.
    mutable std::mutex heldMutex_;
    std::optional<std::array<double, device_info_t::kTimeTableSize>> heldTable_;
    std::array<std::uint8_t, kMapSize> map_{};
    std::array<std::uint8_t, 6> mapTail_{};
    report_t errorReport_{};
    std::size_t eepromWritten_ = 0;
};
