// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_system.h"
#include "link/lpg_device.h"
#include "link/serial_errors.h"
#include "link/serial_port.h"
#include "recording_device_ui.h"
#include "scripted_line.h"

namespace {

constexpr uid_t kOtherUser = 4242;

std::string refused(const std::string& path) {
    return "Brak dostępu do portu " + path +
           ": dodaj użytkownika do grupy dialout (sudo usermod -aG dialout $USER), potem "
           "wyloguj się i zaloguj ponownie.\n" +
           path + ": EACCES (brak dostępu); właściciel " + CFakeSystem::ownerName() + ", grupa " +
           CFakeSystem::groupName() + ", prawa rw-rw----";
}

// A machine with an FTDI adapter anyone may open, a second adapter and a UART for the
// dialout group only, a CDC device that ModemManager holds, a by-id name left behind by
// a CH341 adapter that brltty took, and an empty ttyS node.
class PortListTest : public ::testing::Test {
  protected:
    PortListTest() {
        system.addDevice("ttyUSB0", 0666);
        system.addDevice("ttyUSB1", 0660);
        system.addDevice("ttyACM0", 0666);
        system.addDevice("ttyS0", 0660);
        system.addDevice("ttyS1", 0660);
        system.setUartType("ttyS0", 4);
        system.setUartType("ttyS1", 0);
        system.addById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
        system.addById("usb-1a86_USB_Serial-if00-port0", "../../ttyUSB7");
        system.addProcess(812, "ModemManager", {"/dev/null", "/dev/ttyACM0"});
        system.addProcess(900, "brltty");
        list.pretendUser(kOtherUser, {kOtherUser});
    }

    CFakeSystem system;
    CPortList list;
};

// A pseudo-terminal is held like any port; the simulator at its master side is not a
// holder of its own line.
TEST_F(PortListTest, AHeldPseudoTerminalNamesItsHolderButNotItsMasterSide) {
    std::filesystem::create_directories(system.root() + "/dev/pts");
    system.addDevice("pts/4");
    system.addDevice("pts/5");
    system.addProcess(950, "vapron-sim", {"/dev/ptmx", "/dev/pts/4", "/dev/ptmx", "/dev/pts/5"});
    std::filesystem::create_directories(system.root() + "/proc/950/fdinfo");
    std::ofstream(system.root() + "/proc/950/fdinfo/3") << "pos:\t0\ntty-index:\t4\n";
    std::ofstream(system.root() + "/proc/950/fdinfo/5") << "pos:\t0\ntty-index:\t5\n";
    system.addProcess(960, "minicom", {"/dev/pts/5"});
    EXPECT_EQ(list.holderOf("/dev/pts/4"), "");
    EXPECT_EQ(list.holderOf("/dev/pts/5"), "minicom (PID 960)");
    EXPECT_TRUE(list.check("/dev/pts/4").accessible);
    const port_entry_t held = list.check("/dev/pts/5");
    EXPECT_FALSE(held.accessible);
    EXPECT_EQ(held.problem.substr(0, held.problem.find('\n')),
              "Port /dev/pts/5 jest zajęty przez program minicom (PID 960): zamknij ten program i "
              "spróbuj ponownie.");
}

TEST_F(PortListTest, EveryPortSaysWhetherItCanBeOpenedAndWhatToDoWhenNot) {
    const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    const std::string ch341 = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0";
    const std::vector<port_entry_t> expected{
        {"/dev/ttyUSB0", ftdi, "FTDI FT232R USB UART A50285BI", true, ""},
        {"/dev/ttyUSB1", "", "przejściówka USB–RS-232", false, refused("/dev/ttyUSB1")},
        {"/dev/ttyACM0", "", "urządzenie USB (CDC ACM)", false,
         "Port /dev/ttyACM0 jest zajęty przez program ModemManager (PID 812): zamknij ten "
         "program i spróbuj ponownie.\n/dev/ttyACM0: EBUSY (urządzenie zajęte)"},
        {"/dev/ttyS0", "", "port szeregowy komputera", false, refused("/dev/ttyS0")},
        {"/dev/ttyUSB7", ch341, "1a86 USB Serial", false,
         "Nie ma portu /dev/ttyUSB7: podłącz przejściówkę USB–RS-232 albo wybierz jeden z "
         "portów, które są: /dev/ttyUSB0, /dev/ttyUSB1, /dev/ttyACM0, /dev/ttyS0.\n"
         "/dev/ttyUSB7: ENOENT (nie ma takiego pliku ani urządzenia)"},
    };
    const CPortList::listing_t listing = list.list();
    ASSERT_EQ(listing.ports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].path);
        EXPECT_EQ(listing.ports[i].path, expected[i].path);
        EXPECT_EQ(listing.ports[i].byId, expected[i].byId);
        EXPECT_EQ(listing.ports[i].description, expected[i].description);
        EXPECT_EQ(listing.ports[i].accessible, expected[i].accessible);
        EXPECT_EQ(listing.ports[i].problem, expected[i].problem);
    }
    EXPECT_EQ(listing.warnings,
              (std::vector<std::string>{
                  "Program brltty (obsługa monitorów brajlowskich) przejmuje przejściówki z "
                  "układem CH341, zanim pojawi się ich port: jeśli nie używasz monitora "
                  "brajlowskiego, usuń go (sudo apt remove brltty) i podłącz przejściówkę "
                  "ponownie.\nbrltty: brltty (PID 900)",
                  "ModemManager sprawdza każdy nowo podłączony port szeregowy i przez "
                  "kilkanaście sekund go zajmuje: odczekaj chwilę po podłączeniu przejściówki "
                  "albo wyłącz go (sudo systemctl disable --now ModemManager).\n"
                  "ModemManager: ModemManager (PID 812)"}));
}

TEST_F(PortListTest, ANamedDeviceIsExplainedWhetherListedOrNot) {
    const port_entry_t missing = list.check("/dev/ttyUSB3");
    EXPECT_FALSE(missing.accessible);
    EXPECT_EQ(missing.problem.substr(0, missing.problem.find('\n')),
              "Nie ma portu /dev/ttyUSB3: podłącz przejściówkę USB–RS-232 albo wybierz jeden z "
              "portów, które są: /dev/ttyUSB0, /dev/ttyUSB1, /dev/ttyACM0, /dev/ttyS0.");
    const port_entry_t byName =
        list.check("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(byName.path, "/dev/ttyUSB0");
    EXPECT_TRUE(byName.accessible);
    EXPECT_EQ(byName.problem, "");
    // Who holds a busy port, for the message of a failed open.
    EXPECT_EQ(list.holderOf("/dev/ttyACM0"), "ModemManager (PID 812)");
    EXPECT_EQ(list.holderOf("/dev/ttyUSB0"), "");
    system.addById("usb-Arduino_Uno-if00", "../../ttyACM0");
    EXPECT_EQ(list.holderOf("/dev/serial/by-id/usb-Arduino_Uno-if00"), "ModemManager (PID 812)");
    // Without the brltty process its udev rule still gives it away; no ModemManager, no
    // word about it.
    CFakeSystem quiet;
    quiet.addFile("/usr/lib/udev/rules.d/85-brltty.rules");
    const auto warnings = CPortList().list().warnings;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].substr(warnings[0].find('\n')),
              "\nbrltty: reguła udev /usr/lib/udev/rules.d/85-brltty.rules");
    EXPECT_TRUE(CPortList().list().ports.empty());
}

TEST_F(PortListTest, AnAdapterHoldingRepliesIsToldAndAskedForLowLatency) {
    const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    struct {
        int timer, afterRequest;
        bool advised;
    } cases[] = {{16, 1, true}, {1, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timer);
        system.setLatencyTimer("ttyUSB0", c.timer);
        const port_entry_t entry = list.list().ports[0];
        EXPECT_EQ(entry.latencyMs, c.timer);
        EXPECT_EQ(entry.latencyAdvice.empty(), !c.advised);
        EXPECT_EQ(list.requestLowLatency(-1, ftdi), c.afterRequest);
    }
    EXPECT_EQ(CPortList::latencyAdvice(16),
              "Przejściówka przetrzymuje odebrane bajty do 16 ms i wymiana ze sterownikiem "
              "zwalnia o połowę: ustaw jej zegar opóźnienia na 1 ms regułą udev (opisaną w "
              "README) i podłącz ją ponownie.\nlatency_timer: 16 ms");
    EXPECT_EQ(list.list().ports[1].latencyMs, -1);  // no such timer
}

TEST(PortListNamesTest, AdapterNamesComeFromTheirById) {
    const std::pair<const char*, const char*> cases[] = {
        {"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "FTDI FT232R USB UART A50285BI"},
        {"usb-1a86_USB_Serial-if00-port0", "1a86 USB Serial"},
        {"usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0",
         "Prolific Technology Inc. USB-Serial Controller"},
        {"usb-Arduino__www.arduino.cc__0043_75833353035351E0C1B2-if00",
         "Arduino  www.arduino.cc  0043 75833353035351E0C1B2"},
        {"pci-0000:00:16.3", "0000:00:16.3"},
    };
    for (const auto& [byId, name] : cases) {
        EXPECT_EQ(CPortList::adapterName(byId), name) << byId;
    }
}

TEST(PortListNamesTest, TheHolderOfABusyPortIsNamedWhenKnown) {
    EXPECT_EQ(
        serial_errors::message("open(1)", "/dev/ttyUSB0", EBUSY, {}, "ModemManager (PID 812)"),
        "Port /dev/ttyUSB0 jest zajęty przez program ModemManager (PID 812): zamknij ten "
        "program i spróbuj ponownie.\nCSerialPort::open(1) /dev/ttyUSB0: EBUSY "
        "(urządzenie zajęte)");
}

// Start-up tries ports 1 to 4, then the other USB adapters the machine has.
TEST(PortSearchTest, UsbAdaptersBeyondPorts1To4BecomePorts5On) {
    CFakeSystem system;
    for (const char* name : {"ttyUSB0", "ttyUSB2", "ttyUSB9", "ttyACM0", "ttyS0"}) {
        system.addDevice(name);
    }
    system.setUartType("ttyS0", 4);
    CSerialPort port;
    EXPECT_EQ(port.searchPorts(), 6);
    EXPECT_EQ(port.portNames().pathOf(4), "/dev/ttyUSB3");
    EXPECT_EQ(port.portNames().pathOf(5), "/dev/ttyUSB9");
    EXPECT_EQ(port.portNames().pathOf(6), "/dev/ttyACM0");
    EXPECT_EQ(port.portNames().pathOf(7), "/dev/ttyUSB6");
    // A named device stands for port 1 and the pattern moves on by one (ports 2 to 4 are
    // ttyUSB0 to ttyUSB2), so only the CDC device is left over.
    CPortNames named;
    named.setFirstPath("/dev/ttyUSB9");
    port.setPortNames(named);
    EXPECT_EQ(port.searchPorts(), 5);
    EXPECT_EQ(port.portNames().pathOf(4), "/dev/ttyUSB2");
    EXPECT_EQ(port.portNames().pathOf(5), "/dev/ttyACM0");
    // Ports that lead elsewhere than /dev keep to their own four.
    port.setPortNames(CPortNames("/nonexistent/vapron-tty%d"));
    EXPECT_EQ(port.searchPorts(), 4);
}

class SearchingLine : public CScriptedLine {
  public:
    int searchPorts() override { return 6; }
};

TEST(PortSearchTest, ConnectingTriesTheFoundAdaptersAfterPorts1To4) {
    auto owned = std::make_unique<SearchingLine>();
    SearchingLine* line = owned.get();
    line->missingPorts = {1, 2, 3, 4, 5};
    CRecordingDeviceUi ui;
    CLPGDevice device(ui, std::move(owned));
    device.setSleeper([](std::chrono::milliseconds) {});
    int served = 0;
    line->setResponder([&](const bytes_t&) -> bytes_t {
        switch (served++) {
            case 0:
                return commandReply(proto::CMD_DONE);
            default:
                return {};
        }
    });
    EXPECT_TRUE(device.connectAuto());
    EXPECT_EQ(line->opened, std::vector<int>{6});
    EXPECT_EQ(ui.portQuestions, 0);
}

}  // namespace
