// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <windows.h>

#include "link/port_list.h"
#include "link/serial_errors.h"

// The Windows form of the RS-232 line: the COM device opened exclusively and
// synchronously, the controller's line settings in a DCB, the read time-outs in the
// driver (n bytes or constant + n * per-byte milliseconds), and every failure raised with
// the GetLastError() number.

namespace {

HANDLE handleOf(void* handle) {
    return static_cast<HANDLE>(handle);
}

// "COM12" → "\\.\COM12", the only name that reaches ports above COM9; a name already in
// the device namespace is kept.
std::wstring deviceName(const std::string& path) {
    const std::string name = path.rfind("\\\\", 0) == 0 ? path : "\\\\.\\" + path;
    return std::wstring(name.begin(), name.end());
}

}  // namespace

CSerialPort::~CSerialPort() {
    // The owner closes the port when it disconnects; an object that dies open must not
    // leak the handle all the same.
    close();
}

bool CSerialPort::isOpen() const {
    return handle_ != nullptr;
}

void CSerialPort::raiseErrno(unsigned code, const std::string& operation, int err, int line) const {
    raiseFor(code, operation, path_.empty() ? "COM" : path_, err, line);
}

void CSerialPort::raiseFor(unsigned code, const std::string& operation, const std::string& path,
                           int err, int line) const {
    // A missing port is best answered with the ones that are there.
    const bool missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
    std::vector<std::string> present;
    if (code == CRSError::ERR_RS_OPEN && missing) {
        for (const auto& entry : CPortList().list().ports) {
            present.push_back(entry.path);
        }
    }
    raise(code, serial_errors::message(operation, path, err, present), line, __FILE__);
    __builtin_unreachable();
}

void CSerialPort::open(int port) {
    const std::string path = names_.pathOf(port);
    const HANDLE handle = ::CreateFileW(deviceName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        handle_ = nullptr;
        raiseFor(CRSError::ERR_RS_OPEN, "open(" + std::to_string(port) + ")", path,
                 static_cast<int>(::GetLastError()), __LINE__);
    }
    handle_ = handle;
    port_ = port;
    path_ = path;
}

int CSerialPort::searchPorts() {
    // A pattern of the user's own keeps to its own ports.
    const bool system = names_.pattern() == CPortNames::kDefaultPattern;
    names_.setFoundPaths(system ? CPortList().usbAdapters() : std::vector<std::string>{});
    return CPortNames::kNumberedPorts + names_.foundCount();
}

void CSerialPort::close() {
    if (handle_ != nullptr) {
        ::CloseHandle(handleOf(handle_));
    }
    handle_ = nullptr;
}

void CSerialPort::configure() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handleOf(handle_), &dcb)) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "getState()", static_cast<int>(::GetLastError()),
                   __LINE__);
    }
    dcb = DCB{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = CBR_38400;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fAbortOnError = TRUE;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    if (!::SetCommState(handleOf(handle_), &dcb)) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "setState()", static_cast<int>(::GetLastError()),
                   __LINE__);
    }
    setTimeouts(timeouts_);
}

void CSerialPort::setTimeouts(const serial_timeouts_t& timeouts) {
    timeouts_ = timeouts;
    if (handle_ == nullptr) {
        return;  // applied when the port is configured
    }
    COMMTIMEOUTS driver{};
    driver.ReadIntervalTimeout = 0;
    driver.ReadTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.perByteMs);
    driver.ReadTotalTimeoutConstant = static_cast<DWORD>(timeouts.constantMs);
    // Writes are a few hundred bytes at most; a line that does not drain gives up as the
    // POSIX form does.
    driver.WriteTotalTimeoutMultiplier = 2;
    driver.WriteTotalTimeoutConstant = static_cast<DWORD>(timeouts.constantMs);
    if (!::SetCommTimeouts(handleOf(handle_), &driver)) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "setTimeout()", static_cast<int>(::GetLastError()),
                   __LINE__);
    }
}

// After a line error (framing, overrun) the driver refuses all I/O until the error is
// cleared; the bytes lost make the frame fail its check, and the exchange asks again.
bool CSerialPort::clearLineError() {
    if (::GetLastError() != ERROR_OPERATION_ABORTED) {
        return false;
    }
    DWORD errors = 0;
    return ::ClearCommError(handleOf(handle_), &errors, nullptr) != 0;
}

int CSerialPort::read(std::uint8_t* buffer, int n) {
    if (handle_ == nullptr) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "read()", ERROR_INVALID_HANDLE, __LINE__);
    }
    DWORD got = 0;
    if (!::ReadFile(handleOf(handle_), buffer, static_cast<DWORD>(n), &got, nullptr) &&
        !clearLineError()) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "read()", static_cast<int>(::GetLastError()),
                   __LINE__);
    }
    return static_cast<int>(got);
}

int CSerialPort::write(const std::uint8_t* buffer, int n) {
    if (handle_ == nullptr) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "write()", ERROR_INVALID_HANDLE, __LINE__);
    }
    DWORD sent = 0;
    if (!::WriteFile(handleOf(handle_), buffer, static_cast<DWORD>(n), &sent, nullptr) &&
        !clearLineError()) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "write()", static_cast<int>(::GetLastError()),
                   __LINE__);
    }
    return static_cast<int>(sent);
}

void CSerialPort::purgeIn() {
    if (!::PurgeComm(handleOf(handle_), PURGE_RXABORT | PURGE_RXCLEAR)) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "purgeIn()", static_cast<int>(::GetLastError()),
                   __LINE__);
    }
}

void CSerialPort::purgeOut() {
    if (!::PurgeComm(handleOf(handle_), PURGE_TXABORT | PURGE_TXCLEAR)) {
        raiseErrno(CRSError::ERR_RS_OPERATION, "purgeOut()", static_cast<int>(::GetLastError()),
                   __LINE__);
    }
}
