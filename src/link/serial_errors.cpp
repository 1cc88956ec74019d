// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_errors.h"

#include "link/serial_errors_platform.h"

// The advice both systems give; which advice an error number earns is decided in
// serial_errors_posix.cpp and serial_errors_win32.cpp.

namespace serial_errors {
namespace {

using serial_errors_platform::Trouble;

std::string joined(const std::vector<std::string>& paths) {
    std::string out;
    for (const auto& path : paths) {
        out += (out.empty() ? "" : ", ") + path;
    }
    return out;
}

bool isOpen(const std::string& operation) {
    return operation.rfind("open(", 0) == 0;
}

std::string advice(const std::string& operation, const std::string& path, int err,
                   const std::vector<std::string>& present, const std::string& holder) {
    switch (serial_errors_platform::troubleOf(err, isOpen(operation))) {
        case Trouble::Missing:
            if (present.empty()) {
                return "Nie ma portu " + path + ": podłącz przejściówkę USB–RS-232 do komputera (" +
                       serial_errors_platform::kNoPortsText + ").";
            }
            return "Nie ma portu " + path +
                   ": podłącz przejściówkę USB–RS-232 albo wybierz jeden z portów, które "
                   "są: " +
                   joined(present) + ".";
        case Trouble::Denied:
            return "Brak dostępu do portu " + path +
                   ": dodaj użytkownika do grupy dialout (sudo usermod -aG dialout $USER), "
                   "potem wyloguj się i zaloguj ponownie.";
        case Trouble::Busy:
            return "Port " + path + " jest zajęty przez " +
                   (holder.empty() ? "inny program" : "program " + holder) +
                   ": zamknij ten program i spróbuj ponownie.";
        case Trouble::NotOpen:
            return "Port " + path + " nie jest otwarty: połącz się ze sterownikiem ponownie.";
        case Trouble::Gone:
            return "Połączenie z portem " + path +
                   " zostało przerwane: sprawdź przejściówkę i kabel, potem połącz się ze "
                   "sterownikiem ponownie.";
        case Trouble::Other:
            break;
    }
    return "Operacja na porcie " + path +
           " nie powiodła się: sprawdź połączenie ze sterownikiem i spróbuj ponownie.";
}

}  // namespace

std::string message(const std::string& operation, const std::string& path, int err,
                    const std::vector<std::string>& present, const std::string& holder) {
    return advice(operation, path, err, present, holder) + "\nCSerialPort::" + operation + " " +
           path + serial_errors_platform::errorDetail(err);
}

std::string openAdvice(const std::string& path, int err, const std::vector<std::string>& present,
                       const std::string& holder) {
    return advice("open()", path, err, present, holder);
}

}  // namespace serial_errors
