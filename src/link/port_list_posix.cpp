// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_list.h"

#include <grp.h>
#include <linux/serial.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <system_error>

#include "link/port_names.h"
#include "link/process_table.h"
#include "link/serial_errors.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kById = "/dev/serial/by-id";
// A timer above this costs a noticeable share of the exchanges.
constexpr int kSlowLatencyMs = 2;
constexpr int kLowLatencyMs = 1;

std::string rootFromEnvironment() {
    const char* root = std::getenv(CPortList::kRootVariable);
    std::string text = root != nullptr ? root : "";
    while (!text.empty() && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string kindOf(const std::string& path) {
    if (startsWith(path, "/dev/ttyUSB")) {
        return "przejściówka USB–RS-232";
    }
    if (startsWith(path, "/dev/ttyACM")) {
        return "urządzenie USB (CDC ACM)";
    }
    if (startsWith(path, "/dev/ttyS")) {
        return "port szeregowy komputera";
    }
    return "port szeregowy";
}

// The name of a user or group id from the system's database, else the number.
template <class Entry, class Id, class Lookup>
std::string nameOf(Id id, Lookup lookup, char* Entry::*name) {
    char buffer[4096];
    Entry entry{};
    Entry* found = nullptr;
    lookup(id, &entry, buffer, sizeof buffer, &found);
    return found != nullptr ? std::string(found->*name) : std::to_string(id);
}

std::string userName(uid_t uid) {
    return nameOf<passwd>(uid, ::getpwuid_r, &passwd::pw_name);
}

std::string groupName(gid_t gid) {
    return nameOf<group>(gid, ::getgrgid_r, &group::gr_name);
}

std::string modeText(mode_t mode) {
    std::string text = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        if ((mode & (0400u >> bit)) == 0) {
            text[static_cast<std::size_t>(bit)] = '-';
        }
    }
    return text;
}

// The second line of a problem: the system's error and, for a refusal, who may open it.
std::string detail(const std::string& path, int err, const struct stat* info) {
    std::string text =
        path + ": " + serial_errors::errnoName(err) + " (" + serial_errors::errnoText(err) + ")";
    if (info != nullptr && err == EACCES) {
        text += "; właściciel " + userName(info->st_uid) + ", grupa " + groupName(info->st_gid) +
                ", prawa " + modeText(info->st_mode);
    }
    return text;
}

std::string problem(const std::string& path, int err, const struct stat* info,
                    const std::vector<std::string>& present, const std::string& holder = {}) {
    return serial_errors::openAdvice(path, err, present, holder) + "\n" + detail(path, err, info);
}

}  // namespace

CPortList::CPortList() : CPortList(rootFromEnvironment()) {}

CPortList::CPortList(std::string root) : root_(std::move(root)), uid_(::geteuid()) {
    groups_.push_back(::getegid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> more(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, more.data());
        more.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        groups_.insert(groups_.end(), more.begin(), more.end());
    }
}

void CPortList::pretendUser(uid_t uid, std::vector<gid_t> groups) {
    pretending_ = true;
    uid_ = uid;
    groups_ = std::move(groups);
}

std::vector<std::string> CPortList::presentPaths() const {
    std::vector<std::string> paths =
        CPortNames::presentPorts(rooted("/dev"), rooted("/sys/class/tty"));
    for (auto& path : paths) {
        path.erase(0, root_.size());
    }
    return paths;
}

std::vector<CPortList::link_t> CPortList::byIdLinks() const {
    std::vector<link_t> links;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(rooted(kById), error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(entry.path(), linkError);
        if (linkError) {
            continue;
        }
        const std::string name = entry.path().filename().string();
        const fs::path device = target.is_absolute() ? target : fs::path(kById) / target;
        links.emplace_back(std::string(kById) + "/" + name, device.lexically_normal().string());
    }
    std::sort(links.begin(), links.end());
    return links;
}

CPortList::listing_t CPortList::list() const {
    const CProcessTable processes(rooted("/proc"), ::getpid());
    const std::vector<std::string> present = presentPaths();
    const std::vector<link_t> links = byIdLinks();
    auto linkTo = [&](const std::string& path) {
        const auto found = std::find_if(links.begin(), links.end(),
                                        [&](const link_t& link) { return link.second == path; });
        return found != links.end() ? found->first : std::string();
    };
    listing_t listing;
    for (const auto& path : present) {
        listing.ports.push_back(entryFor(path, linkTo(path), processes, present));
    }
    // A name whose device is not among them: a leftover of an adapter that went away.
    for (const auto& [link, device] : links) {
        if (std::find(present.begin(), present.end(), device) == present.end()) {
            listing.ports.push_back(entryFor(device, link, processes, present));
        }
    }
    listing.warnings = warnings(processes);
    return listing;
}

port_entry_t CPortList::check(const std::string& path) const {
    const CProcessTable processes(rooted("/proc"), ::getpid());
    for (const auto& [link, device] : byIdLinks()) {
        if (link == path || device == path) {
            return entryFor(device, link, processes, presentPaths());
        }
    }
    return entryFor(path, {}, processes, presentPaths());
}

std::vector<std::string> CPortList::usbAdapters() const {
    std::vector<std::string> adapters;
    for (const auto& path : presentPaths()) {
        if (startsWith(path, "/dev/ttyUSB") || startsWith(path, "/dev/ttyACM")) {
            adapters.push_back(path);
        }
    }
    return adapters;
}

// A by-id name is a link; the device is where it leads.
std::string CPortList::deviceOf(const std::string& path) const {
    std::error_code error;
    const std::string real = fs::canonical(rooted(path), error).string();
    return error || real.size() < root_.size() ? path : real.substr(root_.size());
}

std::string CPortList::holderOf(const std::string& path) const {
    const std::string device = deviceOf(path);
    return CProcessTable::describe(CProcessTable(rooted("/proc"), ::getpid()).holdersOf(device));
}

std::string CPortList::latencyFile(const std::string& path) const {
    const std::string name = fs::path(path).filename().string();
    return rooted("/sys/class/tty/" + name + "/device/latency_timer");
}

int CPortList::latencyTimer(const std::string& path) const {
    std::ifstream in(latencyFile(deviceOf(path)));
    int ms = -1;
    if (!(in >> ms) || ms < 0) {
        return -1;
    }
    return ms;
}

int CPortList::requestLowLatency(int fd, const std::string& path) const {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0 && !(serial.flags & ASYNC_LOW_LATENCY)) {
        serial.flags |= ASYNC_LOW_LATENCY;
        (void)::ioctl(fd, TIOCSSERIAL, &serial);
    }
    const int before = latencyTimer(path);
    if (before > kLowLatencyMs) {
        std::ofstream out(latencyFile(deviceOf(path)));
        out << kLowLatencyMs << '\n';
    }
    return latencyTimer(path);
}

std::string CPortList::latencyAdvice(int ms) {
    if (ms <= kSlowLatencyMs) {
        return {};
    }
    return "Przejściówka przetrzymuje odebrane bajty do " + std::to_string(ms) +
           " ms i wymiana ze sterownikiem zwalnia o połowę: ustaw jej zegar opóźnienia na 1 ms "
           "regułą udev (opisaną w README) i podłącz ją ponownie.\nlatency_timer: " +
           std::to_string(ms) + " ms";
}

std::string CPortList::adapterName(const std::string& byIdName) {
    static const std::regex interface("-if[0-9]+(-port[0-9]+)?$");
    std::string name = std::regex_replace(byIdName, interface, "");
    for (const char* bus : {"usb-", "pci-"}) {
        if (startsWith(name, bus)) {
            name.erase(0, std::char_traits<char>::length(bus));
        }
    }
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

port_entry_t CPortList::entryFor(const std::string& path, const std::string& byId,
                                 const CProcessTable& processes,
                                 const std::vector<std::string>& present) const {
    port_entry_t entry;
    entry.path = path;
    entry.byId = byId;
    entry.latencyMs = latencyTimer(path);
    entry.latencyAdvice = latencyAdvice(entry.latencyMs);
    entry.description =
        byId.empty() ? kindOf(path) : adapterName(fs::path(byId).filename().string());
    struct stat info {};
    if (::stat(rooted(path).c_str(), &info) != 0) {
        const int err = errno;
        std::vector<std::string> others = present;
        others.erase(std::remove(others.begin(), others.end(), path), others.end());
        entry.problem = problem(path, err, nullptr, others);
        return entry;
    }
    if (!mayOpen(info, path)) {
        entry.problem = problem(path, EACCES, &info, {});
        return entry;
    }
    const std::string holder = CProcessTable::describe(processes.holdersOf(path));
    if (!holder.empty()) {
        entry.problem = problem(path, EBUSY, &info, {}, holder);
        return entry;
    }
    entry.accessible = true;
    return entry;
}

bool CPortList::mayOpen(const struct stat& info, const std::string& path) const {
    const bool inGroup = std::find(groups_.begin(), groups_.end(), info.st_gid) != groups_.end();
    mode_t needed = 06;
    if (uid_ == info.st_uid) {
        needed = 0600;
    } else if (inGroup) {
        needed = 060;
    }
    if (uid_ == 0 || (info.st_mode & needed) == needed) {
        return true;
    }
    // An access list may grant what the mode bits do not; only the system can tell, and
    // only for this process's own user.
    return !pretending_ && ::access(rooted(path).c_str(), R_OK | W_OK) == 0;
}

std::vector<std::string> CPortList::warnings(const CProcessTable& processes) const {
    std::vector<std::string> found;
    std::string brltty = CProcessTable::describe(processes.named("brltty"));
    for (const char* rules :
         {"/usr/lib/udev/rules.d/85-brltty.rules", "/lib/udev/rules.d/85-brltty.rules"}) {
        std::error_code error;
        if (brltty.empty() && fs::exists(rooted(rules), error)) {
            brltty = std::string("reguła udev ") + rules;
        }
    }
    if (!brltty.empty()) {
        found.push_back(
            "Program brltty (obsługa monitorów brajlowskich) przejmuje przejściówki z układem "
            "CH341, zanim pojawi się ich port: jeśli nie używasz monitora brajlowskiego, usuń go "
            "(sudo apt remove brltty) i podłącz przejściówkę ponownie.\nbrltty: " +
            brltty);
    }
    const std::string modemManager = CProcessTable::describe(processes.named("ModemManager"));
    if (!modemManager.empty()) {
        found.push_back(
            "ModemManager sprawdza każdy nowo podłączony port szeregowy i przez kilkanaście "
            "sekund go zajmuje: odczekaj chwilę po podłączeniu przejściówki albo wyłącz go "
            "(sudo systemctl disable --now ModemManager).\nModemManager: " +
            modemManager);
    }
    return found;
}
