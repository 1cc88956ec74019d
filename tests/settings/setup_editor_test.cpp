// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/car_settings_search.h"
#include "settings/car_texts.h"
#include "settings/record_copy.h"
#include "settings/setup_boxes.h"
#include "temp_dir.h"

namespace {

TEST(SetupBoxesTest, FlagsAndMasksBecomeBoxesAndBack) {
    struct case_t {
        std::uint8_t flags, injType;
        bool tableUsed;
        bool mainBox, pressureBox, box12V;
        int type;
        std::uint8_t flagsOut, injTypeOut;
    };
    const case_t cases[] = {
        // Bits 5 and 6 keep their values; bit 0 is always set.
        {0x72, 0x00, false, false, true, false, 0, 0x63, 0x00},
        {0x50, 0x00, false, true, false, false, 0, 0x51, 0x00},
        // Bit 2 is set by a used table and otherwise left as it was.
        {0x04, 0x00, false, true, false, false, 0, 0x15, 0x00},
        {0x00, 0x00, true, false, false, false, 0, 0x05, 0x00},
        // Non-sequential wins over semi-sequential; the injection flags are built anew.
        {0x13, 0x07, false, true, true, true, 1, 0x13, 0x05},
        {0x13, 0x02, false, true, true, false, 2, 0x13, 0x02},
        {0x13, 0x09, false, true, true, true, 0, 0x13, 0x01},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << int(c.flags) << " type " << int(c.injType));
        device_info_t info;
        info.setup.flags = c.flags;
        info.setup.injType = c.injType;
        info.timeTable[24] = c.tableUsed ? 0.5 : 0.0;
        setup_boxes_t boxes;
        boxes.fromRecord(info);
        EXPECT_EQ(boxes.pressureCorrection, (c.flags & 0x02) != 0);
        EXPECT_EQ(boxes.gasoline12V, c.box12V);
        EXPECT_EQ(boxes.injectionType, c.type);
        boxes.mainCorrection = c.mainBox;
        boxes.pressureCorrection = c.pressureBox;
        EXPECT_EQ(boxes.toRecord(info), c.injTypeOut != c.injType);
        EXPECT_EQ(info.setup.flags, c.flagsOut);
        EXPECT_EQ(info.setup.injType, c.injTypeOut);
    }
}

// Masks with several bits or none are written back as read while they may not be edited.
TEST(SetupBoxesTest, MasksThatMayNotBeEditedStayAsRead) {
    device_info_t info;
    info.setup.lpgMasks = {3, 0, 4, 8, 16, 32, 64, 128};
    const auto read = info.setup.lpgMasks;
    setup_boxes_t boxes;
    boxes.fromRecord(info);
    boxes.toRecord(info, false);
    EXPECT_EQ(info.setup.lpgMasks, read);
    boxes.toRecord(info, true);
    EXPECT_EQ(info.setup.lpgMasks[0], 1);
}

TEST(SetupBoxesTest, InjectorNumbersComeFromTheLowestBitAndGoBackAsOneBit) {
    EXPECT_EQ(setup_boxes_t::injectorOf(12, 7), 3);
    EXPECT_EQ(setup_boxes_t::injectorOf(0x80, 1), 8);
    EXPECT_EQ(setup_boxes_t::injectorOf(0, 6), 6);
    EXPECT_EQ(setup_boxes_t::maskOf(5), 16);
    EXPECT_EQ(setup_boxes_t::maskOf(8), 128);
    EXPECT_EQ(setup_boxes_t::maskOf(0), 0);
    EXPECT_EQ(setup_boxes_t::maskOf(9), 0);

    device_info_t info;
    info.setup.lpgMasks = {12, 0, 4, 8, 16, 32, 64, 128};
    setup_boxes_t boxes;
    boxes.injectors[1] = 6;
    boxes.fromRecord(info);
    EXPECT_EQ(boxes.injectors, (std::array<int, 8>{3, 6, 3, 4, 5, 6, 7, 8}));
    boxes.injectors[0] = 5;
    boxes.toRecord(info);
    EXPECT_EQ(info.setup.lpgMasks, (std::array<std::uint8_t, 8>{16, 32, 4, 8, 16, 32, 64, 128}));
}

class RecordCopyTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;

    // The connected controller's record: its identity, car and clock.
    static device_info_t connected() {
        device_info_t info;
        info.version = 4;
        info.id = "CONNECTED0000001";
        info.injectors = 4;
        car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(info);
        info.reducerPressure = 95;
        info.clock = {1, 2, 3, 4, 40000};
        info.setup.mainCorrection = 0.5;
        return info;
    }
    static device_info_t stored(std::uint16_t version) {
        device_info_t info;
        info.version = version;
        info.id = "FILE000000000002";
        info.injectors = 6;
        car_texts_t{"Fiat", "Punto", "1.2", "60", "1999", "1.5", "1.0"}.toRecord(info);
        info.reducerPressure = 120;
        info.clock = {5, 6, 7, 8, 80000};
        info.timeStamp = "01-02-2024-12:00:00";
        info.notes = "z pliku";
        info.recordPosition = 77;
        info.setup.mainCorrection = 1.25;
        info.setup.flags = 0x57;
        info.timeTable[3] = 0.1;
        return info;
    }
    std::string write(const device_info_t& info, std::size_t size = device_info_t::kSize) {
        const std::string file = dir.folder() + "car.settings";
        const auto image = info.toBytes();
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(size));
        return file;
    }
};

TEST_F(RecordCopyTest, AFileBringsItsSettingsButNotTheControllerOrTheGivenCar) {
    for (bool carGiven : {true, false}) {
        SCOPED_TRACE(carGiven);
        device_info_t record = connected();
        ASSERT_EQ(CRecordCopy::loadFile(write(stored(4)), record, carGiven),
                  CRecordCopy::Result::Loaded);
        device_info_t expected = stored(4);
        const device_info_t mine = connected();
        expected.version = mine.version;
        expected.id = mine.id;
        expected.injectors = mine.injectors;
        expected.reducerPressure = mine.reducerPressure;
        expected.clock = mine.clock;
        if (carGiven) {
            car_texts_t::fromRecord(mine).toRecord(expected);
        }
        EXPECT_EQ(record, expected);
    }
}

TEST_F(RecordCopyTest, AFileOfAnotherVersionOrTooShortChangesNothing) {
    const struct {
        std::uint16_t version;
        std::size_t size;
        CRecordCopy::Result result;
        const char* text;
    } cases[] = {
        {3, device_info_t::kSize, CRecordCopy::Result::OtherVersion,
         "Nie można użyć pliku, ponieważ został utworzony inną wersją aplikacji."},
        {4, 1100, CRecordCopy::Result::ReadFailed, "Nie można wczytać ustawień z pliku"},
    };
    for (const auto& c : cases) {
        device_info_t record = connected();
        const auto result = CRecordCopy::loadFile(write(stored(c.version), c.size), record, false);
        EXPECT_EQ(result, c.result);
        EXPECT_STREQ(CRecordCopy::text(result), c.text);
        EXPECT_EQ(record, connected());
    }
}

TEST_F(RecordCopyTest, FactoryDefaultsKeepTheControllerAndTheCar) {
    device_info_t record = connected();
    record.notes = "stare";
    record.timeTable[0] = 0.3;
    CRecordCopy::restoreFactory(record);
    device_info_t expected = connected();
    expected.setup = dev_setup_t{};
    EXPECT_EQ(record, expected);
}

class CarSettingsSearchTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;
};

TEST_F(CarSettingsSearchTest, RowsOfReadableFilesWithTheirPlaceAndThePathOfAChosenOne) {
    const std::string folder = dir.folder() + "Opel-Astra-1.6/";
    std::filesystem::create_directories(folder);
    device_info_t first;
    first.version = 4;
    first.id = "ID000000000000A1";
    first.timeStamp = "03-02-2024-10:11:12";
    car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(first);
    first.reducerPressure = 95.25;
    first.notes = "pierwsze";
    device_info_t third = first;
    third.id = "ID000000000000C3";
    third.timeStamp = "05-02-2024-08:00:00";
    for (const auto& [name, info] :
         {std::pair{"a.settings", first}, std::pair{"c.settings", third}}) {
        const auto image = info.toBytes();
        std::ofstream(folder + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), image.size());
    }
    std::ofstream(folder + "b.settings") << "short";  // cannot be read: skipped

    const CCarInfo library(nullptr, dir.folder());
    const auto rows = CCarSettingsSearch::find(library, "Opel", "Astra", "1.6", "ID000000000000C3");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].columns,
              (std::array<std::string, 9>{"03-02-2024-10:11:12", "2004", "101", "2.0", "1.8",
                                          "95.2", "ID000000000000A1", "4", "pierwsze"}));
    EXPECT_EQ(rows[0].index, 0);
    EXPECT_FALSE(rows[0].connected);
    EXPECT_EQ(rows[1].index, 2);
    EXPECT_TRUE(rows[1].connected);
    // The listed file is the one chosen, whatever its name.
    EXPECT_EQ(CCarSettingsSearch::resultPath(dir.folder(), "Opel", "Astra", "1.6", rows[1]),
              dir.folder() + "Opel-Astra-1.6/c.settings");
    // Nothing is highlighted without a connected controller.
    EXPECT_FALSE(CCarSettingsSearch::rowOf(device_info_t{}, 0, "").connected);
}

}  // namespace
