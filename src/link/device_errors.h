// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a fault points the installer at, and so what to check first.
enum class error_family_t { Injector, Sensor, Supply, Memory, Internal };

// One line of advice for a family of faults.
const char* errorAdvice(error_family_t family);

// Decoder of one controller module's byte of the error report: bit k is fault k.
class CDeviceErrorBase {
  public:
    virtual ~CDeviceErrorBase();

    // The family of fault `bit` (0-7); the controller's own circuits unless a module
    // says otherwise.
    virtual error_family_t family(unsigned bit) const;

    // The module name shown before its faults.
    virtual std::string name() const;
    // One "\r\n\t<text> " entry per set bit, lowest first; empty for 0. A bit without
    // a text of its own is still reported, by its value.
    std::string decode(std::uint8_t code) const;

  protected:
    CDeviceErrorBase() = default;
    explicit CDeviceErrorBase(std::vector<std::string> texts) : texts_(std::move(texts)) {}

  private:
    std::vector<std::string> texts_;  // text k describes bit k
};

// The module decoders, in the order of the report bytes.

class CMemError : public CDeviceErrorBase {
  public:
    CMemError();
    std::string name() const override;
    error_family_t family(unsigned bit) const override;
};

class CTmrError : public CDeviceErrorBase {
  public:
    CTmrError();
    std::string name() const override;
};

class CI2CErr : public CDeviceErrorBase {
  public:
    CI2CErr();
    std::string name() const override;
};

class CEEPROMError : public CDeviceErrorBase {
  public:
    CEEPROMError();
    std::string name() const override;
    error_family_t family(unsigned bit) const override;
};

class CInjError : public CDeviceErrorBase {
  public:
    CInjError();
    std::string name() const override;
    error_family_t family(unsigned bit) const override;
};

class CSensorErr : public CDeviceErrorBase {
  public:
    CSensorErr();
    std::string name() const override;
    error_family_t family(unsigned bit) const override;
};

class CVect7Error : public CDeviceErrorBase {
  public:
    CVect7Error();
    std::string name() const override;
};

class CVect15Error : public CDeviceErrorBase {
  public:
    CVect15Error();
    std::string name() const override;
};

class CVect23Error : public CDeviceErrorBase {
  public:
    CVect23Error();
    std::string name() const override;
};

class CVect31Error : public CDeviceErrorBase {
  public:
    CVect31Error();
    std::string name() const override;
};

class CVect32Error : public CDeviceErrorBase {
  public:
    CVect32Error();
    std::string name() const override;
};
