// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cli/cli_app.h"

// What the command line said.
struct CCliApp::Options {
    std::string port;
    int com = 0;
    bool json = false;
    bool unlocked = false;
    bool simulate = false;  // a simulated controller in this process instead of a port
    bool noPacing = false;  // the simulated line as fast as it goes (the tests)
    bool copy = false;      // legacy: copy the old program's files
    std::string car;
    std::string trace;  // wire trace file

    std::vector<std::string> assignments;
    std::vector<std::string> sources;  // settings diff
    bool clear = false;
    std::string mode;
    std::string file;
    std::string output;  // export -o
    std::string separator = ",";
    std::string decimal = ".";
    bool bom = false;
    std::string values;
    int injector = 1;
    long samples = 0;
    double seconds = 0;
    bool coverage = false;      // record: map coverage on standard error
    unsigned long clockHz = 0;  // map build: the recording's controller clock
    bool fill = false;          // map build: fill the cells between values
    std::string hex;
    double tolerance = 10.0;     // autocal
    bool yes = false;            // autocal: the idle question is answered
    bool keepFunctions = false;  // map/table write: the settings stay as they are

    // Inputs checked before the controller is touched.
    std::array<std::uint8_t, 512> image{};
    std::array<std::uint8_t, 400> map{};
    std::array<double, 25> table{};
    std::array<std::uint8_t, 4> thresholds{};
};
