// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/cp1250.h"
#include "settings/memory_preferences.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// 1 February 2024, midday local time.
std::time_t dayOne(int hour = 12) {
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 1;
    tm.tm_mday = 1;
    tm.tm_hour = hour;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

device_info_t record(const std::string& makeUtf8, const std::string& id = "ID01") {
    device_info_t info;
    info.version = 4;
    info.id = id;
    car_texts_t{makeUtf8, "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(info);
    return info;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class CarInfoTest : public ::testing::Test {
  protected:
    // A fresh folder for the test's files, removed afterwards.
    CTempDir dir;

    std::string store(const device_info_t& info, std::time_t when) {
        const std::string file = CCarInfo::carSettingsPath(dir.folder(), info, when);
        EXPECT_TRUE(CCarInfo::storeCarSettingsFile(file, info, &prefs_));
        return file;
    }

    CMemoryPreferences prefs_;
};

TEST_F(CarInfoTest, StoredFileIsTheRecordImage) {
    device_info_t info = record("Opel");
    info.timeStamp = CCarInfo::timeStampText(dayOne());
    info.setup.mainCorrection = 1.25;
    const std::string file = store(info, dayOne());
    EXPECT_EQ(file, dir.folder() + "Opel-Astra-1.6/ID01-01-02-2024.settings");
    EXPECT_EQ(prefs_.lastCarFile(), file);
    const std::string bytes = bytesOf(file);
    ASSERT_EQ(bytes.size(), 1200u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x04\x00", 2));
    EXPECT_EQ(bytes.substr(2, 5), std::string("ID01\0", 5));
    EXPECT_EQ(bytes.substr(19, 5), std::string("Opel\0", 5));
    EXPECT_EQ(bytes.substr(119, 4), std::string("1.6\0", 4));
    EXPECT_EQ(bytes.substr(188, 20), std::string("01-02-2024-12:00:00\0", 20));
    EXPECT_EQ(bytes.substr(536, 8), std::string("\0\0\0\0\0\0\xF4\x3F", 8));  // 1.25
    EXPECT_EQ(bytes.substr(800, 400), std::string(400, '\0'));
}

TEST_F(CarInfoTest, SecondStoreOnTheSameDayReplacesTheFile) {
    device_info_t info = record("Opel");
    info.notes = "pierwszy";
    store(info, dayOne(9));
    info.notes = "drugi";
    const std::string file = store(info, dayOne(17));
    EXPECT_EQ(CCarInfo(&prefs_, dir.folder()).listSettingsFiles("Opel", "Astra", "1.6"),
              std::vector<std::string>{"ID01-01-02-2024.settings"});
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.folder() + "Opel-Astra-1.6"), {}), 1);
    device_info_t back;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(file, back));
    EXPECT_EQ(back.notes, "drugi");
}

TEST_F(CarInfoTest, ShortFileIsRefusedAndLongerAccepted) {
    const std::string image = [] {
        const auto bytes = record("Opel").toBytes();
        return std::string(bytes.begin(), bytes.end());
    }();
    device_info_t back;
    writeBytes(dir.folder() + "short.settings", image.substr(0, 1100));
    EXPECT_FALSE(CCarInfo::readCarSettingsFile(dir.folder() + "short.settings", back));
    EXPECT_EQ(back, device_info_t{});
    writeBytes(dir.folder() + "long.settings", image + "trailing");
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(dir.folder() + "long.settings", back));
    EXPECT_EQ(back, record("Opel"));
    EXPECT_FALSE(CCarInfo::readCarSettingsFile(dir.folder() + "missing.settings", back));
}

TEST_F(CarInfoTest, PolishNamesRoundTripThroughTheLibrary) {
    const device_info_t info = record("Łódź Škoda");
    EXPECT_EQ(info.make, "\xA3\xF3\x64\x9F \x8A\x6B\x6F\x64\x61");
    const std::string file = store(info, dayOne());
    EXPECT_EQ(file, dir.folder() + "Łódź Škoda-Astra-1.6/ID01-01-02-2024.settings");
    const CCarInfo library(&prefs_, dir.folder());
    EXPECT_EQ(library.listMakes(), std::vector<std::string>{"Łódź Škoda"});
    device_info_t back;
    ASSERT_TRUE(CCarInfo::readCarSettingsFile(file, back));
    EXPECT_EQ(back, info);
    EXPECT_EQ(car_texts_t::fromRecord(back).make, "Łódź Škoda");
}

TEST_F(CarInfoTest, HostileNamesStayInsideTheLibrary) {
    device_info_t info = record("../x");
    info.id = "../../id";
    const std::string file = store(info, dayOne());
    EXPECT_EQ(file, dir.folder() + "_.._x-Astra-1.6/_.._.._id-01-02-2024.settings");
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(fs::exists(dir.folder() + "../x-Astra-1.6"));
    EXPECT_EQ(CCarInfo::safeName(".."), "_..");
    EXPECT_EQ(CCarInfo::safeName(".hidden"), "_.hidden");
    EXPECT_EQ(CCarInfo::safeName(std::string("a\\b\0c\nd", 7)), "a_b_c_d");
    const CCarInfo library(&prefs_, dir.folder());
    EXPECT_EQ(library.listModels("../x"), std::vector<std::string>{"Astra"});
}

TEST_F(CarInfoTest, NoFileWithoutMakeModelAndCapacity) {
    device_info_t info = record("Opel");
    info.capacity.clear();
    EXPECT_EQ(CCarInfo::carSettingsPath(dir.folder(), info, dayOne()), "");
}

TEST_F(CarInfoTest, ListsAreSortedAndReduced) {
    for (const char* folder : {"Opel-Corsa-1.2", "Fiat-Punto-1.2", "Opel-Astra-1.6",
                               "Opel-Astra-1.4", "Opel-Astra-1.4x", "Opelek-Astra-2.0"}) {
        fs::create_directory(dir.folder() + folder);
    }
    writeBytes(dir.folder() + "Audi-A4-1.8", "a file, not a car");
    writeBytes(dir.folder() + "Opel-Astra-1.6/B.settings", "");
    writeBytes(dir.folder() + "Opel-Astra-1.6/A.settings", "");
    writeBytes(dir.folder() + "Opel-Astra-1.6/notes.txt", "");
    fs::create_directory(dir.folder() + "Opel-Astra-1.6/C.settings");
    const CCarInfo library(&prefs_, dir.folder());
    using List = std::vector<std::string>;
    EXPECT_EQ(library.listMakes(), (List{"Fiat", "Opel", "Opelek"}));
    EXPECT_EQ(library.listModels("Opel"), (List{"Astra", "Corsa"}));
    EXPECT_EQ(library.listCapacities("Opel", "Astra"), (List{"1.4", "1.4x", "1.6"}));
    EXPECT_EQ(library.listSettingsFiles("Opel", "Astra", "1.6"),
              (List{"A.settings", "B.settings"}));
    EXPECT_TRUE(library.listCapacities("Audi", "A4").empty());
}

TEST_F(CarInfoTest, FolderNamesSplitIntoThreeParts) {
    std::string make, model, capacity;
    CCarInfo::splitFolderName("X-Y", make, model, capacity);
    EXPECT_EQ(make + "|" + model + "|" + capacity, "X|Y|Y");
    CCarInfo::splitFolderName("A-B-C-1.6", make, model, capacity);
    EXPECT_EQ(make + "|" + model + "|" + capacity, "A|B|1.6");
    CCarInfo::splitFolderName("Solo", make, model, capacity);
    EXPECT_EQ(make + "|" + model + "|" + capacity, "Solo||");
}

TEST_F(CarInfoTest, LastCarInfoComesFromTheLastFile) {
    device_info_t info = record("Opel");
    store(info, dayOne());
    const CCarInfo library(&prefs_, dir.folder());
    EXPECT_EQ(library.readLastCarInfo("ID01"),
              (car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}));
}

TEST_F(CarInfoTest, LastCarInfoOfAnotherControllerIsEmpty) {
    store(record("Opel", "OTHER"), dayOne());
    EXPECT_EQ(CCarInfo(&prefs_, dir.folder()).readLastCarInfo("ID01"), car_texts_t{});
}

TEST_F(CarInfoTest, LastCarInfoOfAMissingFileKeepsTheFolderParts) {
    prefs_.setLastCarFile(dir.folder() + "Fiat-Punto-1.2/gone.settings");
    EXPECT_EQ(CCarInfo(&prefs_, dir.folder()).readLastCarInfo("ID01"),
              (car_texts_t{"Fiat", "Punto", "1.2", "", "", "", ""}));
    prefs_.setLastCarFile("");
    EXPECT_EQ(CCarInfo(&prefs_, dir.folder()).readLastCarInfo("ID01"), car_texts_t{});
    EXPECT_EQ(CCarInfo(nullptr, dir.folder()).readLastCarInfo("ID01"), car_texts_t{});
}

// Names holding '-' and texts longer than their fields: the folder's car comes from its
// files, the folder name stays within the file system's limit, and an existing folder
// (the old program's naming) keeps being used.
TEST_F(CarInfoTest, CarsWithDashesAndLongTextsAreFoundAgain) {
    std::string euros;  // 49 characters: 49 bytes in the record, 147 in UTF-8
    for (int i = 0; i < 49; ++i) {
        euros += "\u20AC";
    }
    struct car_t {
        std::string make, model, capacity;
    } cars[] = {{"Mercedes-Benz", "C-Klasse", "2.0"},
                {"Mazda", "CX-5", "2.5"},
                {euros, std::string(300, 'M'), "1.6"}};
    for (const car_t& car : cars) {
        device_info_t info;
        info.version = 4;
        info.id = "ID01";
        car_texts_t{car.make, car.model, car.capacity, "100", "2010", "2.0", ""}.toRecord(info);
        const std::string file = store(info, dayOne());
        ASSERT_FALSE(file.empty());
        const std::string folder = file.substr(0, file.rfind('/'));
        EXPECT_LE(folder.size() - folder.rfind('/') - 1, CCarInfo::kMaxNameBytes);
        const car_texts_t stored = car_texts_t::fromRecord(info);
        const CCarInfo library(&prefs_, dir.folder());
        EXPECT_EQ(library.listModels(stored.make), std::vector<std::string>{stored.model});
        EXPECT_EQ(library.listSettingsFiles(stored.make, stored.model, stored.capacity).size(), 1u)
            << stored.make;
        EXPECT_EQ(library.readLastCarInfo("ID01").model, stored.model);
        // A second store goes to the same folder.
        EXPECT_EQ(CCarInfo::carSettingsPath(dir.folder(), info, dayOne()), file);
    }
    EXPECT_EQ(CCarInfo(&prefs_, dir.folder()).listMakes().size(), 3u);
    EXPECT_EQ((car_texts_t{"A", std::string(50, 'x')}.tooLong()), "model (najwyżej 49 znaków)");
}

// Whatever the size check lets through survives the stored image whole, and one
// character more is refused by name: the check and the image share their field sizes.
TEST(CarTextsTest, EveryTextTheCheckAcceptsSurvivesTheImage) {
    const struct {
        std::string car_texts_t::*text;
        std::size_t room;
        const char* name;
    } fields[] = {{&car_texts_t::make, 49, "marka"},
                  {&car_texts_t::model, 49, "model"},
                  {&car_texts_t::capacity, 4, "pojemność"},
                  {&car_texts_t::power, 3, "moc"},
                  {&car_texts_t::year, 4, "rok produkcji"},
                  {&car_texts_t::injectorsFitted, 9, "wtryskiwacze"},
                  {&car_texts_t::calibratedFor, 9, "kalibracja"}};
    for (const auto& field : fields) {
        car_texts_t texts;
        texts.*field.text = std::string(field.room - 1, 'x') + "\u0141";  // "Ł": one byte
        EXPECT_EQ(texts.tooLong(), "") << field.name;
        device_info_t info;
        texts.toRecord(info);
        device_info_t back;
        back.fromBytes(info.toBytes().data());
        EXPECT_EQ(car_texts_t::fromRecord(back), texts) << field.name;

        texts.*field.text += "x";
        EXPECT_EQ(texts.tooLong(), std::string(field.name) + " (najwyżej " +
                                       std::to_string(field.room) + " znaków)");
    }
}

TEST_F(CarInfoTest, StoreFailsWhenTheFolderIsMissing) {
    const device_info_t info = record("Opel");
    EXPECT_FALSE(
        CCarInfo::storeCarSettingsFile(dir.folder() + "nowhere/x.settings", info, &prefs_));
    EXPECT_EQ(prefs_.lastCarFile(), "");
}

}  // namespace
