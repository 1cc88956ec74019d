// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/data_write.h"

#include <gtest/gtest.h>

#include "connected_sim.h"
#include "fake_store.h"

namespace {

using Status = write_outcome_t::Status;
using namespace proto;

constexpr std::size_t kMapAt = CControllerSim::kMapAddress;

// The simulated controller, its connection with the car given, and the writes filing in a
// fake library.
class DataWriteTest : public ::testing::Test {
  public:
    DataWriteTest() {
        conn.device().setCarInfoGiven(true);
        cells.fill(CDataWrite::kNoMapCorrection);
        cells[37] = 113;
        table[4] = 9;
    }

    bool mapInController() {
        const auto eeprom = conn.sim().eeprom();
        return std::equal(cells.begin(), cells.end(), eeprom.begin() + kMapAt);
    }
    bool flag(dev_setup_t::Flag bit) {
        dev_setup_t held;
        EXPECT_TRUE(conn.device().readSetup(held));
        return held.hasFlag(bit);
    }

    CConnectedSim conn;
    FakeStore store;
    CSettingsWrite settings{conn.device(), &store};
    CDataWrite writes{conn.device(), settings};
    CDataWrite::MapCells cells{};
    CDataWrite::Table table{};
};

struct kind_t {
    const char* name;
    std::uint8_t record;    // the record type the data travels in
    dev_setup_t::Flag bit;  // the settings bit that switches it on
    std::function<write_outcome_t(DataWriteTest&)> write, switchOn;
    std::function<bool(DataWriteTest&)> arrived;
    const char* held;
};

const kind_t kKinds[] = {
    {"map", MSG_TYPE_EEPROM, dev_setup_t::FLAG_INJECTION_MAP,
     [](DataWriteTest& t) { return t.writes.writeMap(t.cells); },
     [](DataWriteTest& t) { return t.writes.switchMapOn(t.cells); },
     [](DataWriteTest& t) { return t.mapInController(); },
     "Wpisanie nie zostało dokończone: mapa jest w sterowniku, ale nie została włączona."},
    {"table", MSG_TYPE_TABLE, dev_setup_t::FLAG_TIME_TABLE,
     [](DataWriteTest& t) { return t.writes.writeTable(t.table); },
     [](DataWriteTest& t) { return t.writes.switchTableOn(t.table); },
     [](DataWriteTest& t) { return t.conn.sim().timeTable()[4] == 109; },
     "Wpisanie nie zostało dokończone: tabela poprawek czasu jest w sterowniku, ale nie "
     "została włączona."},
};

// A car file that cannot be prepared stops the write before the data is sent: the map or
// table never lands switched off.
TEST_F(DataWriteTest, NothingIsSentWhenTheSwitchOnCouldNotFollow) {
    store.succeed = false;
    for (const kind_t& kind : kKinds) {
        const write_outcome_t outcome = kind.write(*this);
        EXPECT_EQ(outcome.refusal, write_outcome_t::Refusal::File) << kind.name;
        EXPECT_FALSE(kind.arrived(*this)) << kind.name;
    }
    for (const sim_request_t& request : conn.sim().requests()) {
        EXPECT_TRUE(request.type == MSG_TYPE_COMMAND) << int{request.type};  // reads only
    }
}

// Refused switch-on settings: the outcome says the data is in but off, and the offered
// switch-on turns it on and files it.
TEST_F(DataWriteTest, ARefusedSwitchOnSaysTheDataIsInButOff) {
    for (const kind_t& kind : kKinds) {
        conn.sim().refuseWrites(MSG_TYPE_SETUP);
        const write_outcome_t off = kind.write(*this);
        EXPECT_EQ(off.status, Status::NotSwitchedOn) << kind.name;
        EXPECT_EQ(off.held, kind.held);
        EXPECT_TRUE(kind.arrived(*this)) << kind.name;
        EXPECT_FALSE(flag(kind.bit)) << kind.name;

        conn.sim().refuseWrites(MSG_TYPE_SETUP, false);
        const write_outcome_t on = kind.switchOn(*this);
        EXPECT_TRUE(on) << kind.name << ": " << on.problem;
        EXPECT_TRUE(on.filed);
        EXPECT_TRUE(flag(kind.bit)) << kind.name;
    }
    ASSERT_EQ(store.stored.size(), 2u);
    EXPECT_TRUE(store.stored[1].setup.hasFlag(dev_setup_t::FLAG_INJECTION_MAP));
    EXPECT_DOUBLE_EQ(store.stored[1].timeTable[4], 9);  // the file holds the table written
}

// A port lost part-way: the outcome says what the controller now holds and to reconnect
// first. One that never acknowledges the first block left it as it was.
TEST(DataWriteCut, ATransferCutPartWaySaysWhatTheControllerHolds) {
    CDataWrite::Image image{};
    image.fill(0x5A);
    CDataWrite::MapCells cells{};
    cells.fill(120);
    const struct {
        const char* name;
        unsigned vanishAfter;  // 0: the controller refuses EEPROM writes instead
        bool restore;
        Status status;
        const char* held;
    } cases[] = {
        // Settings, version and table read, the map's tail, then three blocks.
        {"map, port lost", 7, false, Status::Incomplete,
         "Mapa w sterowniku jest niekompletna — wpisz ją ponownie.\n"
         "EEPROM 104-511: potwierdzono 24 z 408 bajtów"},
        {"map, refused", 0, false, Status::NotAnswered, ""},
        {"EEPROM, port lost", 3, true, Status::Incomplete,
         "Pamięć EEPROM w sterowniku jest niekompletna — wpisz ją ponownie.\n"
         "EEPROM: potwierdzono 24 z 512 bajtów"},
    };
    for (const auto& c : cases) {
        CConnectedSim conn;
        conn.device().setUnlocked(true);
        CSettingsWrite settings(conn.device());
        CDataWrite writes(conn.device(), settings);
        if (c.vanishAfter) {  // counted from the controller's first request
            const auto taken = static_cast<unsigned>(conn.sim().requestCount());
            conn.sim().faults().setVanishAfter(taken + c.vanishAfter);
        } else {
            conn.sim().refuseWrites(MSG_TYPE_EEPROM);
        }
        const write_outcome_t outcome =
            c.restore ? writes.restoreEeprom(image) : writes.writeMap(cells);
        EXPECT_EQ(outcome.status, c.status) << c.name << ": " << outcome.problem;
        EXPECT_EQ(outcome.held, c.held) << c.name;
        EXPECT_EQ(outcome.portLost, c.vanishAfter > 0) << c.name;
        const bool reconnect = outcome.problem.find("Połącz ponownie") != std::string::npos;
        EXPECT_EQ(reconnect, c.vanishAfter > 0) << outcome.problem;
    }
}

}  // namespace
