// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_errors.h"

#include <windows.h>

#include "support/win32_text.h"

// The Windows form: `err` is a GetLastError() number, and the second line of a message
// names it as the system does ("GetLastError()=2: Nie można odnaleźć określonego pliku").

namespace serial_errors {

const int kNoDevice = ERROR_FILE_NOT_FOUND;
const int kDeviceGone = ERROR_GEN_FAILURE;
const int kNotOpen = ERROR_INVALID_HANDLE;
namespace {

struct error_entry_t {
    int err;
    const char* name;
};

constexpr error_entry_t kErrors[] = {
    {ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND"},
    {ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND"},
    {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED"},
    {ERROR_INVALID_HANDLE, "ERROR_INVALID_HANDLE"},
    {ERROR_SHARING_VIOLATION, "ERROR_SHARING_VIOLATION"},
    {ERROR_GEN_FAILURE, "ERROR_GEN_FAILURE"},
    {ERROR_BAD_COMMAND, "ERROR_BAD_COMMAND"},
    {ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER"},
    {ERROR_OPERATION_ABORTED, "ERROR_OPERATION_ABORTED"},
    {ERROR_DEVICE_NOT_CONNECTED, "ERROR_DEVICE_NOT_CONNECTED"},
    {ERROR_DEVICE_REMOVED, "ERROR_DEVICE_REMOVED"},
};

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

bool isGone(int err) {
    return err == ERROR_GEN_FAILURE || err == ERROR_BAD_COMMAND ||
           err == ERROR_DEVICE_NOT_CONNECTED || err == ERROR_DEVICE_REMOVED ||
           err == ERROR_FILE_NOT_FOUND || err == ERROR_OPERATION_ABORTED;
}

std::string advice(const std::string& operation, const std::string& path, int err,
                   const std::vector<std::string>& present, const std::string& holder) {
    const bool opening = isOpen(operation);
    if (opening && (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)) {
        if (present.empty()) {
            return "Nie ma portu " + path +
                   ": podłącz przejściówkę USB–RS-232 do komputera (w systemie nie ma "
                   "żadnego portu COM).";
        }
        return "Nie ma portu " + path +
               ": podłącz przejściówkę USB–RS-232 albo wybierz jeden z portów, które są: " +
               joined(present) + ".";
    }
    // Windows answers a port that another program holds with "access denied".
    if (opening && (err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION)) {
        return "Port " + path + " jest zajęty przez " +
               (holder.empty() ? "inny program" : "program " + holder) +
               ": zamknij ten program i spróbuj ponownie.";
    }
    if (err == ERROR_INVALID_HANDLE) {
        return "Port " + path + " nie jest otwarty: połącz się ze sterownikiem ponownie.";
    }
    if (!opening && isGone(err)) {
        return "Połączenie z portem " + path +
               " zostało przerwane: sprawdź przejściówkę i kabel, potem połącz się ze "
               "sterownikiem ponownie.";
    }
    return "Operacja na porcie " + path +
           " nie powiodła się: sprawdź połączenie ze sterownikiem i spróbuj ponownie.";
}

}  // namespace

std::string errnoName(int err) {
    for (const auto& entry : kErrors) {
        if (entry.err == err) {
            return entry.name;
        }
    }
    return "GetLastError()=" + std::to_string(err);
}

std::string errnoText(int err) {
    return win32_text::systemText(static_cast<unsigned long>(err));
}

std::string message(const std::string& operation, const std::string& path, int err,
                    const std::vector<std::string>& present, const std::string& holder) {
    return advice(operation, path, err, present, holder) + "\nCSerialPort::" + operation + " " +
           path + " - GetLastError()=" + std::to_string(err) + " (" + errnoText(err) + ")";
}

std::string openAdvice(const std::string& path, int err, const std::vector<std::string>& present,
                       const std::string& holder) {
    return advice("open()", path, err, present, holder);
}

}  // namespace serial_errors
