// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the recording reader as a recording. Besides surviving any
// input, the reader must: read the same in small chunks as in one, from a file as from
// memory; agree with a reference built on formatted stream extraction; and read every
// sample it returned back the same after writing it as a line.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "diag/recording_reader.h"
#include "diag/recording_writer.h"
#include "fuzz_support.h"

namespace {

struct result_t {
    std::vector<app_msg_t> samples;
    CRecordingReader::End end = CRecordingReader::End::None;
};

result_t readAll(CRecordingReader& reader) {
    result_t result;
    app_msg_t sample;
    while (reader.readSample(sample)) {
        result.samples.push_back(sample);
    }
    result.end = reader.end();
    reader.countUnreadLines();
    return result;
}

result_t readMemory(const std::uint8_t* data, std::size_t size, std::size_t chunk) {
    CRecordingReader reader(data, size, chunk);
    return readAll(reader);
}

app_msg_t fromValues(const long long* v) {
    app_msg_t s;
    s.index = static_cast<std::uint32_t>(v[0]);
    s.injector = static_cast<std::uint8_t>(v[1]);
    s.work_state = static_cast<std::uint8_t>(v[2]);
    s.lpg_injectors = static_cast<std::uint8_t>(v[3]);
    s.rpm_period = static_cast<std::uint16_t>(v[4]);
    s.inj_period = static_cast<std::uint16_t>(v[5]);
    s.gas_time = static_cast<std::uint16_t>(v[6]);
    s.time_add = static_cast<std::uint16_t>(v[7]);
    s.time_sub = static_cast<std::uint16_t>(v[8]);
    s.time_aux = static_cast<std::uint16_t>(v[9]);
    s.temp_reducer = static_cast<std::uint8_t>(v[10]);
    s.temp_gas = static_cast<std::uint8_t>(v[11]);
    s.temp_internal = static_cast<std::uint8_t>(v[12]);
    s.supply = static_cast<std::uint8_t>(v[13]);
    s.lambda = static_cast<std::uint8_t>(v[14]);
    s.pressure = static_cast<std::uint8_t>(v[15]);
    s.pressure2 = static_cast<std::uint8_t>(v[16]);
    s.pressure_intake = static_cast<std::uint8_t>(v[17]);
    return s;
}

// The rules spelled out with the standard extraction: end-of-file test after each
// value, a failed extraction or a value outside 32 bits ends the reading.
std::vector<app_msg_t> reference(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<app_msg_t> samples;
    for (;;) {
        long long v[CRecordingReader::kValuesPerSample];
        for (long long& value : v) {
            in >> value;
            if (in.eof() || in.fail() || value < std::numeric_limits<std::int32_t>::min() ||
                value > std::numeric_limits<std::uint32_t>::max()) {
                return samples;
            }
        }
        samples.push_back(fromValues(v));
    }
}

const std::string& scratchFile() {
    static const std::string name = fuzz::scratchPath("recording-fuzz");
    return name;
}

result_t readFile(const std::uint8_t* data, std::size_t size) {
    fuzz::writeWhole(scratchFile(), data, size);
    CRecordingReader reader(scratchFile(), 5);
    result_t result = readAll(reader);
    ::unlink(scratchFile().c_str());
    return result;
}

using fuzz::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const result_t whole = readMemory(data, size, CRecordingReader::kChunkSize);
    const result_t small = readMemory(data, size, 1 + size % 7);
    check(small.samples == whole.samples && small.end == whole.end);
    check(reference(data, size) == whole.samples);
    if (size <= 4096) {
        const result_t file = readFile(data, size);
        check(file.samples == whole.samples && file.end == whole.end);
    }

    std::string written;
    for (const app_msg_t& sample : whole.samples) {
        written += CRecordingWriter::formatLine(sample);
    }
    const result_t again =
        readMemory(reinterpret_cast<const std::uint8_t*>(written.data()), written.size(), 64);
    check(again.samples == whole.samples && again.end == CRecordingReader::End::Clean);
    return 0;
}
