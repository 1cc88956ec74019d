// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "fake_system.h"
#include "temp_dir.h"

namespace {

using nlohmann::json;

TEST(CliPortsTest, ListsThePortsWithTheirByIdNamesAndProblems) {
    CFakeSystem system;
    system.addDevice("ttyUSB0");
    system.addById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
    system.addProcess(812, "ModemManager", {"/dev/ttyUSB0"});
    system.setLatencyTimer("ttyUSB0", 16);
    const std::string advice =
        "Przejściówka przetrzymuje odebrane bajty do 16 ms i wymiana ze sterownikiem zwalnia o "
        "połowę: ustaw jej zegar opóźnienia na 1 ms regułą udev (opisaną w README) i podłącz ją "
        "ponownie.\nlatency_timer: 16 ms";
    const cli_result_t listed = runCli({"ports", "--json"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    const json expected = {
        {"ports",
         {{{"path", "/dev/ttyUSB0"},
           {"byId", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
           {"description", "FTDI FT232R USB UART A50285BI"},
           {"accessible", false},
           {"problem",
            "Port /dev/ttyUSB0 jest zajęty przez program ModemManager (PID 812): zamknij ten "
            "program i spróbuj ponownie.\n/dev/ttyUSB0: EBUSY (urządzenie zajęte)"},
           {"latencyMs", 16},
           {"latencyAdvice", advice}}}},
        {"warnings",
         {"ModemManager sprawdza każdy nowo podłączony port szeregowy i przez kilkanaście "
          "sekund go zajmuje: odczekaj chwilę po podłączeniu przejściówki albo wyłącz go "
          "(sudo systemctl disable --now ModemManager).\nModemManager: ModemManager (PID 812)"}}};
    EXPECT_EQ(json::parse(listed.out), expected);

    // The text form; a device named with --port is explained though it does not exist.
    const cli_result_t text = runCli({"--port", "/dev/ttyUSB5", "ports"});
    ASSERT_EQ(text.code, 0);
    EXPECT_EQ(text.out.substr(0, text.out.find("\n\n")),
              "/dev/ttyUSB5  przejściówka USB–RS-232  niedostępny\n"
              "    Nie ma portu /dev/ttyUSB5: podłącz przejściówkę USB–RS-232 albo wybierz jeden "
              "z portów, które są: /dev/ttyUSB0.\n"
              "    /dev/ttyUSB5: ENOENT (nie ma takiego pliku ani urządzenia)\n"
              "/dev/ttyUSB0  FTDI FT232R USB UART A50285BI  niedostępny  opóźnienie 16 ms\n"
              "    /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n"
              "    Port /dev/ttyUSB0 jest zajęty przez program ModemManager (PID 812): zamknij "
              "ten program i spróbuj ponownie.\n"
              "    /dev/ttyUSB0: EBUSY (urządzenie zajęte)\n"
              "    " +
                  advice.substr(0, advice.find('\n')) + "\n    latency_timer: 16 ms");
}

TEST(CliPortsTest, NoPortAtAllSaysWhatToDo) {
    CFakeSystem system;
    const cli_result_t listed = runCli({"ports"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out,
              "Nie ma żadnego portu szeregowego: podłącz przejściówkę USB–RS-232 do komputera.\n");
    EXPECT_EQ(json::parse(runCli({"--json", "ports"}).out),
              (json{{"ports", json::array()}, {"warnings", json::array()}}));
}

TEST(CliExportTest, WritesTheCsvBesideTheRecordingOrWhereTold) {
    CTempDir dir;
    const std::string recording = dir.path("jazda.lpgd");
    CTempDir::writeBytes(
        recording, "7\t1\t3\t1\t4800\t0\t160\t40\t20\t0\t100\t128\t200\t100\t45\t100\t0\t60\n");
    const std::string row = "7,1,LPG,1000,4.000,4.500,49,37,8,88.0,0.0,48.8,12.76,0.882\r\n";

    const cli_result_t beside = runCli({"export", recording});
    ASSERT_EQ(beside.code, 0) << beside.err;
    EXPECT_EQ(beside.out,
              "Nagranie zapisano w pliku CSV " + dir.path("jazda.csv") + " (próbek: 1).\n");
    const std::string csv = CTempDir::readBytes(dir.path("jazda.csv"));
    EXPECT_EQ(csv.substr(csv.find("\r\n") + 2), row);

    const std::string notRecording = dir.path("notatki.txt");
    CTempDir::writeBytes(notRecording, "zakupy\n");
    const cli_result_t spreadsheet =
        runCli({"export", recording, "--separator", ";", "--decimal", ",", "--bom"});
    ASSERT_EQ(spreadsheet.code, 0) << spreadsheet.err;
    const std::string polish = CTempDir::readBytes(dir.path("jazda.csv"));
    EXPECT_EQ(polish.substr(0, 14), "\xEF\xBB\xBFNr próbki;");
    EXPECT_EQ(polish.substr(polish.find("\r\n") + 2),
              "7;1;LPG;1000;4,000;4,500;49;37;8;88,0;0,0;48,8;12,76;0,882\r\n");

    const cli_result_t told = runCli({"export", recording, "-o", dir.path("inna.csv"), "--json"});
    ASSERT_EQ(told.code, 0) << told.err;
    EXPECT_EQ(
        json::parse(told.out),
        (json{{"file", dir.path("inna.csv")}, {"rows", 1}, {"unreadLines", 0}, {"stopLine", 0}}));
    EXPECT_EQ(CTempDir::readBytes(dir.path("inna.csv")), csv);

    const struct {
        std::vector<std::string> arguments;
        int code;
        std::string firstLine;
    } failures[] = {
        {{"export", dir.path("brak.lpgd")},
         3,
         "Nie można otworzyć pliku do odczytu danych diagnostycznych"},
        {{"export", recording, "-o", recording},
         2,
         "Wybierz inną nazwę pliku CSV: eksport zastąpiłby samo nagranie."},
        {{"export", notRecording},
         3,
         "Wskaż nagranie diagnostyczne (.lpgd): w tym pliku nie ma ani jednej próbki."},
    };
    for (const auto& f : failures) {
        const cli_result_t failed = runCli(f.arguments);
        EXPECT_EQ(failed.code, f.code);
        EXPECT_EQ(failed.err.substr(0, failed.err.find('\n')), f.firstLine);
        EXPECT_EQ(failed.out, "");
    }
}

}  // namespace
