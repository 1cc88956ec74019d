// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_list.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "link/serial_errors.h"
#include "support/win32_text.h"

// The Windows form: the COM ports the system's serial drivers have registered. Windows
// lets any user open a free port, so each is listed as usable; whether another program
// holds it is only learnt by opening it, which this listing never does.

namespace {

constexpr const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

struct registered_t {
    std::string device;  // "\Device\Serial0", "\Device\VCP0"
    std::string port;    // "COM1"
};

std::vector<registered_t> registeredPorts() {
    std::vector<registered_t> found;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return found;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        wchar_t data[256];
        DWORD nameSize = 256;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key, index, name, &nameSize, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        std::wstring port(data, dataSize / sizeof(wchar_t));
        port.erase(std::find(port.begin(), port.end(), L'\0'), port.end());
        found.push_back(
            {win32_text::narrow(std::wstring(name, nameSize)), win32_text::narrow(port)});
    }
    ::RegCloseKey(key);
    return found;
}

int numberOf(const std::string& port) {
    const auto digits = port.find_first_of("0123456789");
    return digits == std::string::npos ? 0 : std::atoi(port.c_str() + digits);
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool isBuiltIn(const registered_t& port) {
    return port.device.rfind("\\Device\\Serial", 0) == 0;
}

std::vector<registered_t> sortedPorts() {
    std::vector<registered_t> ports = registeredPorts();
    std::sort(ports.begin(), ports.end(), [](const registered_t& a, const registered_t& b) {
        return numberOf(a.port) < numberOf(b.port);
    });
    return ports;
}

port_entry_t entryOf(const registered_t& port) {
    port_entry_t entry;
    entry.path = port.port;
    entry.description = isBuiltIn(port) ? "port szeregowy komputera"
                                        : "przejściówka USB–RS-232 (" + port.device + ")";
    entry.accessible = true;
    return entry;
}

}  // namespace

CPortList::CPortList() = default;

CPortList::CPortList(std::string root) : root_(std::move(root)) {}

CPortList::listing_t CPortList::list() const {
    listing_t listing;
    for (const auto& port : sortedPorts()) {
        listing.ports.push_back(entryOf(port));
    }
    return listing;
}

port_entry_t CPortList::check(const std::string& path) const {
    const std::vector<registered_t> ports = sortedPorts();
    std::vector<std::string> present;
    for (const auto& port : ports) {
        if (upper(port.port) == upper(path)) {
            return entryOf(port);
        }
        present.push_back(port.port);
    }
    port_entry_t entry;
    entry.path = path;
    entry.description = "port szeregowy";
    entry.problem = serial_errors::openAdvice(path, ERROR_FILE_NOT_FOUND, present) + "\n" + path +
                    ": " + serial_errors::errnoName(ERROR_FILE_NOT_FOUND) + " (" +
                    serial_errors::errnoText(ERROR_FILE_NOT_FOUND) + ")";
    return entry;
}

std::vector<std::string> CPortList::usbAdapters() const {
    std::vector<std::string> adapters;
    for (const auto& port : sortedPorts()) {
        if (!isBuiltIn(port)) {
            adapters.push_back(port.port);
        }
    }
    return adapters;
}

// Windows does not say who holds a port (CProcessTable is empty here): the advice for a
// busy port names "another program".
std::string CPortList::holderOf(const std::string&) const {
    return {};
}

std::string CPortList::adapterName(const std::string& byIdName) {
    return byIdName;
}
