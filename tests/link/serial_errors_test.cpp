// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/port_names.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(SerialErrorsTest, FirstLineSaysWhatToDoSecondNamesTheError) {
    struct error_case_t {
        const char* operation;
        int err;
        std::vector<std::string> present;
        const char* first;
        const char* second;
    };
    const error_case_t cases[] = {
        {"open(1)",
         ENOENT,
         {"/dev/ttyUSB1", "/dev/ttyS0"},
         "Nie ma portu /dev/ttyUSB0: podłącz przejściówkę USB–RS-232 albo wybierz jeden z "
         "portów, które są: /dev/ttyUSB1, /dev/ttyS0.",
         "CSerialPort::open(1) /dev/ttyUSB0: ENOENT (nie ma takiego pliku ani urządzenia)"},
        {"open(1)",
         ENOENT,
         {},
         "Nie ma portu /dev/ttyUSB0: podłącz przejściówkę USB–RS-232 do komputera (nie ma "
         "żadnego portu szeregowego /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).",
         "CSerialPort::open(1) /dev/ttyUSB0: ENOENT (nie ma takiego pliku ani urządzenia)"},
        {"open(1)",
         EACCES,
         {},
         "Brak dostępu do portu /dev/ttyUSB0: dodaj użytkownika do grupy dialout (sudo usermod "
         "-aG dialout $USER), potem wyloguj się i zaloguj ponownie.",
         "CSerialPort::open(1) /dev/ttyUSB0: EACCES (brak dostępu)"},
        {"open(1)",
         EBUSY,
         {},
         "Port /dev/ttyUSB0 jest zajęty przez inny program: zamknij ten program i spróbuj "
         "ponownie.",
         "CSerialPort::open(1) /dev/ttyUSB0: EBUSY (urządzenie zajęte)"},
        {"write()",
         EIO,
         {},
         "Połączenie z portem /dev/ttyUSB0 zostało przerwane: sprawdź przejściówkę i kabel, "
         "potem połącz się ze sterownikiem ponownie.",
         "CSerialPort::write() /dev/ttyUSB0: EIO (urządzenie odłączone)"},
        {"read()",
         EBADF,
         {},
         "Port /dev/ttyUSB0 nie jest otwarty: połącz się ze sterownikiem ponownie.",
         "CSerialPort::read() /dev/ttyUSB0: EBADF (port nie jest otwarty)"},
        {"setState()",
         EOVERFLOW,
         {},
         "Operacja na porcie /dev/ttyUSB0 nie powiodła się: sprawdź połączenie ze sterownikiem "
         "i spróbuj ponownie.",
         "CSerialPort::setState() /dev/ttyUSB0: EOVERFLOW ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " " + serial_errors::errnoName(c.err));
        const std::string message =
            serial_errors::message(c.operation, "/dev/ttyUSB0", c.err, c.present);
        const auto newline = message.find('\n');
        ASSERT_NE(newline, std::string::npos);
        EXPECT_EQ(message.substr(0, newline), c.first);
        // An errno without a Polish text keeps the system's own.
        EXPECT_EQ(message.substr(newline + 1, std::string(c.second).size()), c.second);
        EXPECT_EQ(message.find("GetLastError"), std::string::npos);
    }
}

TEST(SerialErrorsTest, PresentPortsAreTheAdaptersAndTheUartsTheKernelFound) {
    const CTempDir folder;
    const fs::path root = folder.root();
    const fs::path dev = root / "dev", sys = root / "sys";
    fs::create_directories(dev);
    for (const char* name :
         {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyS9", "ttyUSBx", "tty0", "null"}) {
        std::ofstream(dev / name).put('\0');
    }
    // ttyS0 has a UART behind it, ttyS1 is an empty node, ttyS9 cannot be told.
    for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, std::pair{"ttyS1", "0"}}) {
        fs::create_directories(sys / name);
        std::ofstream(sys / name / "type") << type << "\n";
    }
    const std::string d = dev.string() + "/";
    EXPECT_EQ(CPortNames::presentPorts(dev.string(), sys.string()),
              (std::vector<std::string>{d + "ttyUSB2", d + "ttyUSB10", d + "ttyACM0", d + "ttyS0",
                                        d + "ttyS9"}));
    EXPECT_TRUE(CPortNames::presentPorts((root / "none").string(), sys.string()).empty());
}

}  // namespace
