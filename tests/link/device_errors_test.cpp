// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "link/device_errors.h"
#include "link/lpg_device_err.h"

namespace {

CLPGDeviceErr::report_t reportWith(std::size_t index, std::uint8_t code) {
    CLPGDeviceErr::report_t report{};
    report[index] = code;
    return report;
}

TEST(DeviceErrorsTest, CleanReportIsEmpty) {
    EXPECT_EQ(CLPGDeviceErr().decodeReport(CLPGDeviceErr::report_t{}), "");
}

TEST(DeviceErrorsTest, InjectorFaultsOneLineEach) {
    EXPECT_EQ(CLPGDeviceErr().decodeReport(reportWith(4, 0x05)),
              " Moduł: Wtryskiwacze, kod błędu: \r\n\tERROR_INJECTOR1 \r\n\tERROR_INJECTOR3 \r\n");
}

TEST(DeviceErrorsTest, TimerHasTheSameTextForBothBits) {
    EXPECT_EQ(CLPGDeviceErr().decodeReport(reportWith(1, 0x03)),
              " Moduł: Timer, kod błędu: \r\n\tBłąd krytyczny \r\n\tBłąd krytyczny \r\n");
}

TEST(DeviceErrorsTest, UnlistedBitsAreReportedByValue) {
    EXPECT_EQ(CLPGDeviceErr().decodeReport(reportWith(10, 0x81)),
              " Moduł: Przerwania 32, kod błędu: \r\n\tPrzerwanie 32 "
              "\r\n\tNieznany kod błędu = 0x80 \r\n");
    EXPECT_EQ(CSensorErr().decode(0xC0),
              "\r\n\tNieznany kod błędu = 0x40 \r\n\tNieznany kod błędu = 0x80 ");
    EXPECT_EQ(CTmrError().decode(0x10), "\r\n\tNieznany kod błędu = 0x10 ");
}

TEST(DeviceErrorsTest, SeveralModulesInReportOrder) {
    CLPGDeviceErr::report_t report{};
    report[0] = 0x10;
    report[3] = 0x80;
    report[9] = 0x01;
    EXPECT_EQ(CLPGDeviceErr().decodeReport(report),
              " Moduł: Pamięć, kod błędu: \r\n\tZa mały element \r\n"
              " Moduł: EEPROM, kod błędu: \r\n\tERROR_EEPROM_CRC \r\n"
              " Moduł: Przerwania 24-32, kod błędu: \r\n\tPrzerwanie 24 \r\n");
}

TEST(DeviceErrorsTest, DecodersStandInReportOrder) {
    const CLPGDeviceErr errors;
    const char* names[] = {"Pamięć",           "Timer",           "I2C",
                           "EEPROM",           "Wtryskiwacze",    "Czujniki",
                           "Przerwania 0-7",   "Przerwania 8-15", "Przerwania 16-23",
                           "Przerwania 24-32", "Przerwania 32"};
    for (std::size_t i = 0; i < CLPGDeviceErr::kReportSize; ++i) {
        EXPECT_EQ(errors.decoder(i).name(), names[i]) << i;
    }
    EXPECT_EQ(errors.decoder(6).decode(0x80), "\r\n\tPrzerwanie 7 ");
    EXPECT_EQ(errors.decoder(8).decode(0x01), "\r\n\tPrzerwanie 16 ");
    EXPECT_EQ(errors.decoder(2).decode(0x02), "\r\n\tERR_I2C_TIMEOUT ");
    EXPECT_EQ(errors.decoder(5).decode(0x20),
              "\r\n\tBłąd czujnika temperatury wewnetrznej sterownika ");
}

// Each family of faults gets its one line of advice, once however many of its faults are
// set; the supply-voltage bit of the sensor byte is a supply fault, not a sensor's.
TEST(DeviceErrorsTest, AdviceComesOncePerFamilyOfTheFaults) {
    using F = error_family_t;
    const struct {
        std::size_t index;
        std::uint8_t code;
        std::vector<F> families;
    } cases[] = {
        {4, 0x00, {}},          {4, 0x81, {F::Injector}},          {5, 0x02, {F::Sensor}},
        {5, 0x10, {F::Supply}}, {5, 0x12, {F::Sensor, F::Supply}}, {0, 0x01, {F::Memory}},
        {3, 0x80, {F::Memory}}, {1, 0x01, {F::Internal}},          {10, 0x01, {F::Internal}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> expected;
        for (const F family : c.families) {
            expected.emplace_back(errorAdvice(family));
        }
        EXPECT_EQ(CLPGDeviceErr().adviceFor(reportWith(c.index, c.code)), expected)
            << c.index << " " << int(c.code);
    }
    CLPGDeviceErr::report_t both = reportWith(3, 0x01);
    both[4] = 0x02;
    EXPECT_EQ(CLPGDeviceErr().adviceFor(both),
              (std::vector<std::string>{errorAdvice(F::Injector), errorAdvice(F::Memory)}));
    EXPECT_EQ(std::string(errorAdvice(F::Injector)).rfind("Wtryskiwacze: sprawdź", 0), 0u);
}

TEST(DeviceErrorsTest, BaseDecoderKnowsNoModule) {
    struct Bare : CDeviceErrorBase {};
    EXPECT_EQ(Bare().name(), "Nieznany kod błędu");
    EXPECT_EQ(Bare().decode(0x01), "\r\n\tNieznany kod błędu = 0x1 ");
    EXPECT_EQ(Bare().decode(0), "");
}

}  // namespace
