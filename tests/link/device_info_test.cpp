// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "link/device_info.h"

namespace {

using Image = std::array<std::uint8_t, device_info_t::kSize>;

std::string textAt(const Image& image, std::size_t at, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(image.data() + at), size);
}

device_info_t sample() {
    device_info_t info;
    info.version = 4;
    info.id = "ABCDEFGHIJKLMNOP";
    info.injectors = 6;
    info.make = "Opel";
    info.model = "Astra";
    info.capacity = "1.6";
    info.power = "101";
    info.year = "2004";
    info.injectorsFitted = "2.0";
    info.calibratedFor = "1.8";
    info.reducerPressure = 98.5;
    info.clock = {0x05, 2, 3, 4, 40000};
    info.timeStamp = "01-02-2024-13:14:15";
    info.notes = "Uwagi";
    info.recordPosition = 0x01020304;
    info.setup.switchSpeed = 1500;
    info.setup.refPressure = -2;
    info.setup.flags = 0x57;
    info.setup.lpgMasks[7] = 0x81;
    info.timeTable[0] = 1.5;
    info.timeTable[24] = -0.25;
    return info;
}

TEST(DeviceInfoTest, ClearedRecordHoldsTheDefaults) {
    const Image image = device_info_t{}.toBytes();
    const std::uint8_t speed[8] = {0, 0, 0, 0, 0, 0xC0, 0x92, 0x40};  // 1200.0
    EXPECT_EQ(std::memcmp(image.data() + 488, speed, 8), 0);
    EXPECT_EQ(image[504], 1);
    const std::uint8_t ref[4] = {100, 0, 0, 0};
    EXPECT_EQ(std::memcmp(image.data() + 560, ref, 4), 0);
    EXPECT_EQ(image[564], 0x13);
    EXPECT_EQ(image[585], 4);
    EXPECT_EQ(image[586], 1);
    const std::uint8_t masks[8] = {1, 2, 4, 8, 16, 32, 64, 128};
    EXPECT_EQ(std::memcmp(image.data() + 587, masks, 8), 0);
    for (std::size_t at : {0, 2, 18, 19, 160, 168, 188, 228, 484, 600, 799, 800, 1199}) {
        EXPECT_EQ(image[at], 0) << at;
    }
}

TEST(DeviceInfoTest, FieldsLandAtTheirOffsetsLittleEndian) {
    const Image image = sample().toBytes();
    EXPECT_EQ(image[0], 4);
    EXPECT_EQ(image[1], 0);
    EXPECT_EQ(textAt(image, 2, 16), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(image[18], 6);
    EXPECT_EQ(textAt(image, 19, 5), std::string("Opel\0", 5));
    EXPECT_EQ(textAt(image, 69, 6), std::string("Astra\0", 6));
    EXPECT_EQ(textAt(image, 119, 4), std::string("1.6\0", 4));
    EXPECT_EQ(textAt(image, 124, 4), std::string("101\0", 4));
    EXPECT_EQ(textAt(image, 128, 5), std::string("2004\0", 5));
    EXPECT_EQ(textAt(image, 133, 4), std::string("2.0\0", 4));
    EXPECT_EQ(textAt(image, 143, 4), std::string("1.8\0", 4));
    const std::uint8_t reducer[8] = {0, 0, 0, 0, 0, 0xA0, 0x58, 0x40};  // 98.5
    EXPECT_EQ(std::memcmp(image.data() + 160, reducer, 8), 0);
    const std::uint8_t clock5[4] = {0x40, 0x9C, 0, 0};
    EXPECT_EQ(image[168], 0x05);
    EXPECT_EQ(std::memcmp(image.data() + 184, clock5, 4), 0);
    EXPECT_EQ(textAt(image, 188, 20), std::string("01-02-2024-13:14:15\0", 20));
    EXPECT_EQ(textAt(image, 228, 6), std::string("Uwagi\0", 6));
    const std::uint8_t position[4] = {4, 3, 2, 1};
    EXPECT_EQ(std::memcmp(image.data() + 484, position, 4), 0);
    const std::uint8_t ref[4] = {0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(image.data() + 560, ref, 4), 0);
    EXPECT_EQ(image[564], 0x57);
    EXPECT_EQ(image[594], 0x81);
    const std::uint8_t first[8] = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};  // 1.5
    EXPECT_EQ(std::memcmp(image.data() + 600, first, 8), 0);
    const std::uint8_t last[8] = {0, 0, 0, 0, 0, 0, 0xD0, 0xBF};  // -0.25
    EXPECT_EQ(std::memcmp(image.data() + 792, last, 8), 0);
}

TEST(DeviceInfoTest, ImageReadsBackToTheSameRecord) {
    const device_info_t info = sample();
    const Image image = info.toBytes();
    device_info_t back;
    back.fromBytes(image.data());
    EXPECT_EQ(back, info);
}

TEST(DeviceInfoTest, LongTextsAreCutToKeepTheirTerminator) {
    device_info_t info;
    info.make = std::string(60, 'M');
    info.power = "12345";
    info.year = "20041";
    info.timeStamp = std::string(50, 'T');
    const Image image = info.toBytes();
    EXPECT_EQ(image[19 + 49], 0);
    EXPECT_EQ(image[124 + 3], 0);
    EXPECT_EQ(image[128 + 4], 0);
    EXPECT_EQ(image[188 + 39], 0);
    device_info_t back;
    back.fromBytes(image.data());
    EXPECT_EQ(back.make, std::string(49, 'M'));
    EXPECT_EQ(back.power, "123");
    EXPECT_EQ(back.year, "2004");
}

TEST(DeviceInfoTest, TextWithoutTerminatorEndsAtItsField) {
    Image image = device_info_t{}.toBytes();
    std::memset(image.data() + 124, '9', 4);  // power runs into the year
    std::memcpy(image.data() + 128, "1999", 5);
    device_info_t back;
    back.fromBytes(image.data());
    EXPECT_EQ(back.power, "9999");
    EXPECT_EQ(back.year, "1999");
}

}  // namespace
