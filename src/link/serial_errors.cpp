// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_errors.h"

#include <cerrno>
#include <cstring>

namespace serial_errors {

const int kNoDevice = ENOENT;
const int kDeviceGone = EIO;
const int kNotOpen = EBADF;
namespace {

struct errno_entry_t {
    int err;
    const char* name;
    const char* text;
};

constexpr errno_entry_t kErrnos[] = {
    {ENOENT, "ENOENT", "nie ma takiego pliku ani urządzenia"},
    {ENODEV, "ENODEV", "nie ma takiego urządzenia"},
    {ENXIO, "ENXIO", "urządzenie niedostępne"},
    {EACCES, "EACCES", "brak dostępu"},
    {EPERM, "EPERM", "operacja niedozwolona"},
    {EBUSY, "EBUSY", "urządzenie zajęte"},
    {EAGAIN, "EAGAIN", "zasób chwilowo niedostępny"},
    {EIO, "EIO", "urządzenie odłączone"},
    {EBADF, "EBADF", "port nie jest otwarty"},
    {EINVAL, "EINVAL", "nieprawidłowy argument"},
    {ENOTTY, "ENOTTY", "to nie jest port szeregowy"},
    {EINTR, "EINTR", "wywołanie przerwane"},
    {ETIMEDOUT, "ETIMEDOUT", "przekroczony czas oczekiwania"},
    {EMFILE, "EMFILE", "za dużo otwartych plików"},
    {ENFILE, "ENFILE", "za dużo otwartych plików w systemie"},
    {ENOMEM, "ENOMEM", "brak pamięci"},
    {EISDIR, "EISDIR", "to jest katalog"},
    {ENOTDIR, "ENOTDIR", "ścieżka prowadzi przez coś, co nie jest katalogiem"},
};

const errno_entry_t* find(int err) {
    for (const auto& entry : kErrnos) {
        if (entry.err == err) {
            return &entry;
        }
    }
    return nullptr;
}

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
    switch (err) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            if (!isOpen(operation)) {
                break;  // the device went away while in use
            }
            if (present.empty()) {
                return "Nie ma portu " + path +
                       ": podłącz przejściówkę USB–RS-232 do komputera (nie ma żadnego "
                       "portu szeregowego /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).";
            }
            return "Nie ma portu " + path +
                   ": podłącz przejściówkę USB–RS-232 albo wybierz jeden z portów, które "
                   "są: " +
                   joined(present) + ".";
        case EACCES:
        case EPERM:
            return "Brak dostępu do portu " + path +
                   ": dodaj użytkownika do grupy dialout (sudo usermod -aG dialout $USER), "
                   "potem wyloguj się i zaloguj ponownie.";
        case EBUSY:
        case EAGAIN:
            if (isOpen(operation)) {
                return "Port " + path + " jest zajęty przez " +
                       (holder.empty() ? "inny program" : "program " + holder) +
                       ": zamknij ten program i spróbuj ponownie.";
            }
            break;
        case EBADF:
            return "Port " + path + " nie jest otwarty: połącz się ze sterownikiem ponownie.";
        default:
            break;
    }
    if (err == EIO || err == ENODEV || err == ENXIO || err == ENOENT) {
        return "Połączenie z portem " + path +
               " zostało przerwane: sprawdź przejściówkę i kabel, potem połącz się ze "
               "sterownikiem ponownie.";
    }
    return "Operacja na porcie " + path +
           " nie powiodła się: sprawdź połączenie ze sterownikiem i spróbuj ponownie.";
}

}  // namespace

std::string errnoName(int err) {
    if (const errno_entry_t* entry = find(err)) {
        return entry->name;
    }
    if (const char* name = ::strerrorname_np(err)) {
        return name;
    }
    return "errno " + std::to_string(err);
}

std::string errnoText(int err) {
    if (const errno_entry_t* entry = find(err)) {
        return entry->text;
    }
    char buffer[256];
    return ::strerror_r(err, buffer, sizeof buffer);
}

std::string message(const std::string& operation, const std::string& path, int err,
                    const std::vector<std::string>& present, const std::string& holder) {
    return advice(operation, path, err, present, holder) + "\nCSerialPort::" + operation + " " +
           path + ": " + errnoName(err) + " (" + errnoText(err) + ")";
}

std::string openAdvice(const std::string& path, int err, const std::vector<std::string>& present,
                       const std::string& holder) {
    return advice("open()", path, err, present, holder);
}

}  // namespace serial_errors
