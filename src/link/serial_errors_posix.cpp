// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_errors.h"

#include <cerrno>
#include <cstring>

#include "link/serial_errors_platform.h"

// The POSIX form: `err` is an errno number, named on a message's second line with its
// symbol and a Polish text.

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

}  // namespace serial_errors

namespace serial_errors_platform {

const char* const kNoPortsText =
    "nie ma żadnego portu szeregowego /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*";

Trouble troubleOf(int err, bool opening) {
    switch (err) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return opening ? Trouble::Missing : Trouble::Gone;
        case EIO:
            return Trouble::Gone;
        case EACCES:
        case EPERM:
            return Trouble::Denied;
        case EBUSY:
        case EAGAIN:
            return opening ? Trouble::Busy : Trouble::Other;
        case EBADF:
            return Trouble::NotOpen;
        default:
            return Trouble::Other;
    }
}

std::string errorDetail(int err) {
    return ": " + serial_errors::errnoName(err) + " (" + serial_errors::errnoText(err) + ")";
}

}  // namespace serial_errors_platform
