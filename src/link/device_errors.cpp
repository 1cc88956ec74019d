// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_errors.h"

#include <cstdio>

namespace {

// "Przerwanie first" … "Przerwanie first+count-1", one per bit.
std::vector<std::string> interrupts(int first, int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        texts.push_back("Przerwanie " + std::to_string(first + i));
    }
    return texts;
}

}  // namespace

const char* errorAdvice(error_family_t family) {
    switch (family) {
        case error_family_t::Injector:
            return "Wtryskiwacze: sprawdź wtyczki, przewody i cewki wtryskiwaczy LPG wskazanych "
                   "w kodzie, potem skasuj błędy i sprawdź, czy nie wracają.";
        case error_family_t::Sensor:
            return "Czujniki: sprawdź złącza i przewody wskazanego czujnika (ciśnienia, "
                   "temperatury LPG, temperatury reduktora) i przewód sygnału zapłonu, potem "
                   "skasuj błędy.";
        case error_family_t::Supply:
            return "Zasilanie: sprawdź akumulator i ładowanie, bezpiecznik oraz przewody "
                   "zasilania i masy sterownika.";
        case error_family_t::Memory:
            return "Pamięć: zapisz kopię EEPROM, wpisz ustawienia do sterownika ponownie i "
                   "skasuj błędy; jeśli błąd wraca, sterownik wymaga naprawy.";
        default:
            return "Układy sterownika: skasuj błędy i uruchom silnik ponownie; jeśli błąd "
                   "wraca, sterownik wymaga naprawy.";
    }
}

CDeviceErrorBase::~CDeviceErrorBase() = default;

error_family_t CDeviceErrorBase::family(unsigned) const {
    return error_family_t::Internal;
}

std::string CDeviceErrorBase::name() const {
    return "Nieznany kod błędu";
}

std::string CDeviceErrorBase::decode(std::uint8_t code) const {
    std::string text;
    for (unsigned k = 0; k < 8; ++k) {
        const unsigned bit = 1u << k;
        if ((code & bit) == 0) {
            continue;
        }
        if (k < texts_.size()) {
            text += "\r\n\t" + texts_[k] + " ";
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%x", bit);
            text += std::string("\r\n\tNieznany kod błędu = 0x") + hex + " ";
        }
    }
    return text;
}

CMemError::CMemError()
    : CDeviceErrorBase({"Błąd zwolnienia pamięci", "Błąd - za mało pamięci",
                        "Błąd utworzenia nowego elementu", "Brak elementu w puli",
                        "Za mały element"}) {}
std::string CMemError::name() const {
    return "Pamięć";
}
error_family_t CMemError::family(unsigned) const {
    return error_family_t::Memory;
}

CTmrError::CTmrError() : CDeviceErrorBase({"Błąd krytyczny", "Błąd krytyczny"}) {}
std::string CTmrError::name() const {
    return "Timer";
}

CI2CErr::CI2CErr() : CDeviceErrorBase({"ERR_I2C_NO_ACK", "ERR_I2C_TIMEOUT"}) {}
std::string CI2CErr::name() const {
    return "I2C";
}

CEEPROMError::CEEPROMError()
    : CDeviceErrorBase({"ERROR_EEPROM_RAW_WRITE", "ERROR_EEPROM_RAW_READ",
                        "ERROR_EEPROM_RAW_SET_READ_ADDR", "ERROR_EEPROM_FORMAT",
                        "ERROR_EEPROM_WRITE", "ERROR_EEPROM_READ", "ERROR_EEPROM_UNKNOWN_STRUCT",
                        "ERROR_EEPROM_CRC"}) {}
std::string CEEPROMError::name() const {
    return "EEPROM";
}
error_family_t CEEPROMError::family(unsigned) const {
    return error_family_t::Memory;
}

CInjError::CInjError()
    : CDeviceErrorBase({"ERROR_INJECTOR1", "ERROR_INJECTOR2", "ERROR_INJECTOR3", "ERROR_INJECTOR4",
                        "ERROR_INJECTOR5", "ERROR_INJECTOR6", "ERROR_INJECTOR7",
                        "ERROR_INJECTOR8"}) {}
std::string CInjError::name() const {
    return "Wtryskiwacze";
}
error_family_t CInjError::family(unsigned) const {
    return error_family_t::Injector;
}

CSensorErr::CSensorErr()
    : CDeviceErrorBase({"Brak sygnału zapłonu", "Błąd czujnika cisnienia",
                        "Błąd czujnika temperatury LPG", "Błąd czujnika temperatury ogrzewacza LPG",
                        "Błąd - za niskie napięcie zasilania sterownika",
                        "Błąd czujnika temperatury wewnetrznej sterownika"}) {}
std::string CSensorErr::name() const {
    return "Czujniki";
}
// Bit 4 is the controller's supply voltage, not a sensor.
error_family_t CSensorErr::family(unsigned bit) const {
    return bit == 4 ? error_family_t::Supply : error_family_t::Sensor;
}

CVect7Error::CVect7Error() : CDeviceErrorBase(interrupts(0, 8)) {}
std::string CVect7Error::name() const {
    return "Przerwania 0-7";
}

CVect15Error::CVect15Error() : CDeviceErrorBase(interrupts(8, 8)) {}
std::string CVect15Error::name() const {
    return "Przerwania 8-15";
}

CVect23Error::CVect23Error() : CDeviceErrorBase(interrupts(16, 8)) {}
std::string CVect23Error::name() const {
    return "Przerwania 16-23";
}

// The module name says 24-32 although its bits are interrupts 24 to 31.
CVect31Error::CVect31Error() : CDeviceErrorBase(interrupts(24, 8)) {}
std::string CVect31Error::name() const {
    return "Przerwania 24-32";
}

CVect32Error::CVect32Error() : CDeviceErrorBase(interrupts(32, 1)) {}
std::string CVect32Error::name() const {
    return "Przerwania 32";
}
