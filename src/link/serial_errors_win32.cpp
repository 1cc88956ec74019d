// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_errors.h"

#include <windows.h>

#include "link/serial_errors_platform.h"
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

}  // namespace serial_errors

namespace serial_errors_platform {

const char* const kNoPortsText = "w systemie nie ma żadnego portu COM";

namespace {

bool isGone(int err) {
    return err == ERROR_GEN_FAILURE || err == ERROR_BAD_COMMAND ||
           err == ERROR_DEVICE_NOT_CONNECTED || err == ERROR_DEVICE_REMOVED ||
           err == ERROR_FILE_NOT_FOUND || err == ERROR_OPERATION_ABORTED;
}

}  // namespace

Trouble troubleOf(int err, bool opening) {
    if (opening && (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)) {
        return Trouble::Missing;
    }
    // Windows answers a port that another program holds with "access denied".
    if (opening && (err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION)) {
        return Trouble::Busy;
    }
    if (err == ERROR_INVALID_HANDLE) {
        return Trouble::NotOpen;
    }
    return !opening && isGone(err) ? Trouble::Gone : Trouble::Other;
}

std::string errorDetail(int err) {
    return " - GetLastError()=" + std::to_string(err) + " (" + serial_errors::errnoText(err) + ")";
}

}  // namespace serial_errors_platform
