// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "diag/app_msg.h"
#include "diag/recording_writer.h"

// The i-th sample of a long synthetic drive for the benchmarks: values that vary from
// line to line so that nothing is formatted or parsed from a cache. `workState` is the
// controller state of every sample but each fifth, which is `everyFifthState`.
inline app_msg_t benchSample(int i, std::uint8_t workState = 3, std::uint8_t everyFifthState = 3) {
    app_msg_t s;
    s.index = static_cast<std::uint32_t>(i + 1);
    s.injector = static_cast<std::uint8_t>(1 + i % 4);
    s.work_state = i % 5 == 0 ? everyFifthState : workState;
    s.lpg_injectors = 0x0F;
    s.rpm_period = static_cast<std::uint16_t>(2400 + i % 3000);
    s.inj_period = static_cast<std::uint16_t>(2400 + i % 2900);
    s.gas_time = static_cast<std::uint16_t>(100 + i % 400);
    s.time_add = static_cast<std::uint16_t>(i % 40);
    s.time_sub = static_cast<std::uint16_t>(i % 7);
    s.time_aux = static_cast<std::uint16_t>(90 + i % 300);
    s.temp_reducer = static_cast<std::uint8_t>(100 + i % 50);
    s.temp_gas = static_cast<std::uint8_t>(140 + i % 20);
    s.temp_internal = 130;
    s.supply = static_cast<std::uint8_t>(90 + i % 10);
    s.lambda = static_cast<std::uint8_t>(i % 256);
    s.pressure = static_cast<std::uint8_t>(80 + i % 30);
    s.pressure2 = 81;
    s.pressure_intake = static_cast<std::uint8_t>(30 + i % 60);
    return s;
}

// A recording of `lines` of those samples, as the program writes them.
inline void writeBenchRecording(const std::string& path, int lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> block;
    char line[CRecordingWriter::kMaxLine];
    for (int i = 0; i < lines; ++i) {
        const std::size_t size = CRecordingWriter::formatLine(benchSample(i), line);
        block.insert(block.end(), line, line + size);
        if (block.size() > (1u << 20)) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
}
