// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 serial line's messages and its refusals; its exchange with a controller is
// run end to end by scripts/test-windows.sh (Wine's COM5 on a vapron-sim terminal).
#include <windows.h>

#include <gtest/gtest.h>

#include "link/port_list.h"
#include "link/serial_errors.h"
#include "link/serial_port.h"
#include "support/error_guard.h"

namespace {

TEST(SerialPortWin32Test, FirstLineSaysWhatToDoSecondNamesTheSystemError) {
    struct error_case_t {
        const char* operation;
        int err;
        std::vector<std::string> present;
        const char* first;
    };
    const error_case_t cases[] = {
        {"open(1)",
         ERROR_FILE_NOT_FOUND,
         {"COM1", "COM3"},
         "Nie ma portu COM7: podłącz przejściówkę USB–RS-232 albo wybierz jeden z portów, "
         "które są: COM1, COM3."},
        {"open(1)",
         ERROR_FILE_NOT_FOUND,
         {},
         "Nie ma portu COM7: podłącz przejściówkę USB–RS-232 do komputera (w systemie nie ma "
         "żadnego portu COM)."},
        {"open(1)",
         ERROR_ACCESS_DENIED,
         {},
         "Port COM7 jest zajęty przez inny program: zamknij ten program i spróbuj ponownie."},
        {"read()",
         ERROR_GEN_FAILURE,
         {},
         "Połączenie z portem COM7 zostało przerwane: sprawdź przejściówkę i kabel, potem "
         "połącz się ze sterownikiem ponownie."},
        {"write()",
         ERROR_INVALID_HANDLE,
         {},
         "Port COM7 nie jest otwarty: połącz się ze sterownikiem ponownie."},
        {"setState()",
         ERROR_INVALID_PARAMETER,
         {},
         "Operacja na porcie COM7 nie powiodła się: sprawdź połączenie ze sterownikiem i "
         "spróbuj ponownie."},
    };
    for (const auto& c : cases) {
        const std::string text = serial_errors::message(c.operation, "COM7", c.err, c.present);
        const auto newline = text.find('\n');
        ASSERT_NE(newline, std::string::npos) << text;
        EXPECT_EQ(text.substr(0, newline), c.first);
        EXPECT_EQ(text.substr(newline + 1, text.find(" (", newline) - newline - 1),
                  "CSerialPort::" + std::string(c.operation) +
                      " COM7 - GetLastError()=" + std::to_string(c.err));
    }
}

TEST(SerialPortWin32Test, AMissingPortRaisesCode5AndStaysClosed) {
    CSerialPort port;
    CPortNames names;
    names.setFirstPath("COM42");
    port.setPortNames(names);
    ErrorPtr error = catchError([&] { port.open(1); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), CRSError::ERR_RS_OPEN);
    EXPECT_NE(error->message().find("Nie ma portu COM42"), std::string::npos) << error->message();
    EXPECT_NE(error->message().find("CSerialPort::open(1) COM42 - GetLastError()=2"),
              std::string::npos)
        << error->message();
    EXPECT_FALSE(port.isOpen());
    port.close();  // closing a closed port does nothing
    ErrorPtr readError = catchError([&] {
        std::uint8_t byte = 0;
        port.read(&byte, 1);
    });
    ASSERT_TRUE(readError);
    EXPECT_EQ(readError->code(), CRSError::ERR_RS_OPERATION);
}

TEST(SerialPortWin32Test, PortNumbersAreTheComNumbers) {
    EXPECT_EQ(CPortNames().pathOf(1), "COM1");
    EXPECT_EQ(CPortNames().pathOf(4), "COM4");
    CPortNames named;
    named.setFirstPath("COM9");
    EXPECT_EQ(named.pathOf(1), "COM9");
    EXPECT_EQ(named.pathOf(2), "COM1");
}

}  // namespace

namespace {

// The registry's list of serial ports; a test value is added where Windows' serial
// drivers put theirs (Wine lets a test write there, Windows only an administrator).
TEST(PortListWin32Test, PortsComeFromTheRegistryInNumberOrder) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                          REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        GTEST_SKIP() << "the serial port list cannot be written here";
    }
    const wchar_t kPort[] = L"COM17";
    ::RegSetValueExW(key, L"\\Device\\VCPtest", 0, REG_SZ, reinterpret_cast<const BYTE*>(kPort),
                     sizeof kPort);
    const CPortList::listing_t listing = CPortList().list();
    const std::vector<std::string> adapters = CPortList().usbAdapters();
    const port_entry_t missing = CPortList().check("COM99");
    ::RegDeleteValueW(key, L"\\Device\\VCPtest");
    ::RegCloseKey(key);

    ASSERT_FALSE(listing.ports.empty());
    EXPECT_EQ(listing.ports.back().path, "COM17");
    EXPECT_EQ(listing.ports.back().description, "przejściówka USB–RS-232 (\\Device\\VCPtest)");
    EXPECT_EQ(adapters.back(), "COM17");
    EXPECT_EQ(missing.problem.rfind("Nie ma portu COM99: podłącz przejściówkę USB–RS-232 albo "
                                    "wybierz jeden z portów, które są: ",
                                    0),
              0u)
        << missing.problem;
    EXPECT_NE(missing.problem.find("COM17."), std::string::npos) << missing.problem;
}

}  // namespace
