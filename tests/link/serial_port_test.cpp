// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <thread>

#include "link/serial_port.h"
#include "pty_pair.h"
#include "support/error_guard.h"

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

// Port 1 is the pseudo-terminal's slave.
CPortNames namesFor(const CPtyPair& pty) {
    CPortNames names("/nonexistent/vapron-tty%d");
    names.setFirstPath(pty.slavePath());
    return names;
}

TEST(SerialPortTest, MissingDeviceRaisesCode5WithErrnoAndStaysClosed) {
    CSerialPort port;
    port.setPortNames(CPortNames("/nonexistent/vapron-tty%d"));
    ErrorPtr error = catchError([&] { port.open(7); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 5u);
    const std::string message = error->message();
    EXPECT_EQ(message.rfind("Nie ma portu /nonexistent/vapron-tty6: podłącz przejściówkę", 0), 0u);
    EXPECT_EQ(message.substr(message.find('\n') + 1),
              "CSerialPort::open(7) /nonexistent/vapron-tty6: ENOENT (nie ma takiego pliku ani "
              "urządzenia)");
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.port(), 0);
}

TEST(SerialPortTest, PortNumbersMapThroughThePattern) {
    CPortNames names;
    EXPECT_EQ(names.pathOf(1), "/dev/ttyUSB0");
    EXPECT_EQ(names.pathOf(4), "/dev/ttyUSB3");
    names.setFirstPath("/dev/pts/9");
    EXPECT_EQ(names.pathOf(1), "/dev/pts/9");
    EXPECT_EQ(names.pathOf(2), "/dev/ttyUSB0");
}

TEST(SerialPortTest, SecondOpenOfTheSameDeviceFailsWithCode5) {
    CPtyPair pty;
    CSerialPort first, second;
    first.setPortNames(namesFor(pty));
    second.setPortNames(namesFor(pty));
    first.open(1);
    first.configure();
    ErrorPtr error = catchError([&] { second.open(1); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 5u);
    EXPECT_EQ(error->message(), "Port " + pty.slavePath() +
                                    " jest zajęty przez inny program: zamknij ten program i "
                                    "spróbuj ponownie.\nCSerialPort::open(1) " +
                                    pty.slavePath() + ": EBUSY (urządzenie zajęte)");
    EXPECT_FALSE(second.isOpen());
    first.close();
    first.close();  // closing twice is harmless
    EXPECT_FALSE(first.isOpen());
    // Once released, the device can be opened again.
    EXPECT_EQ(catchError([&] { second.open(1); }), nullptr);
}

TEST(SerialPortTest, ReadWithNothingArrivingTimesOutAfterAbout504ms) {
    CPtyPair pty;
    CSerialPort port;
    port.setPortNames(namesFor(pty));
    port.open(1);
    port.configure();
    std::uint8_t buffer[4];
    const auto start = steady_clock::now();
    const int got = port.read(buffer, 4);
    const auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_EQ(got, 0);
    EXPECT_GE(elapsed, 500);
    EXPECT_LT(elapsed, 700);
}

TEST(SerialPortTest, BytesPassBothWaysUnchanged) {
    CPtyPair pty;
    CSerialPort port;
    port.setPortNames(namesFor(pty));
    port.setTimeouts({50, 1});
    port.open(1);
    port.configure();
    const std::uint8_t out[] = {0xAA, 0x55, 0x00, 0x0D, 0x11, 0x13, 0x0A, 0xFF};
    EXPECT_EQ(port.write(out, sizeof out), 8);
    std::uint8_t seen[8] = {};
    int got = 0;
    for (int i = 0; i < 100 && got < 8; ++i) {
        const ssize_t n = ::read(pty.master(), seen + got, 8 - got);
        if (n > 0)
            got += static_cast<int>(n);
    }
    ASSERT_EQ(got, 8);
    EXPECT_TRUE(std::equal(out, out + 8, seen));
    ASSERT_EQ(::write(pty.master(), out, 8), 8);
    std::uint8_t back[8] = {};
    EXPECT_EQ(port.read(back, 8), 8);
    EXPECT_TRUE(std::equal(out, out + 8, back));
}

TEST(SerialPortTest, HangUpWhileAReadWaitsRaisesCode6Promptly) {
    CPtyPair pty;
    CSerialPort port;
    port.setPortNames(namesFor(pty));
    port.open(1);
    port.configure();
    std::thread unplug([&] {
        std::this_thread::sleep_for(50ms);
        pty.closeMaster();
    });
    std::uint8_t buffer[4];
    const auto start = steady_clock::now();
    ErrorPtr error = catchError([&] { port.read(buffer, 4); });
    const auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
    unplug.join();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 6u);
    EXPECT_NE(error->message().find("\nCSerialPort::read() " + pty.slavePath() +
                                    ": EIO (urządzenie odłączone)"),
              std::string::npos);
    EXPECT_LT(elapsed, 400);
}

}  // namespace
