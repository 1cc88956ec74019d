// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_probe.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "diag/recording_reader.h"

namespace {

// The first sample sits near the start; no need for the reader's large buffer.
constexpr std::size_t kProbeChunk = 4096;
// Enough of the file's end for several whole samples.
constexpr std::streamoff kTailBytes = 4096;

std::string noSampleReason(const CRecordingReader& reader) {
    const std::string line = std::to_string(reader.stopLine());
    switch (reader.end()) {
        case CRecordingReader::End::Truncated:
            return "plik kończy się w środku pierwszej próbki (wiersz " + line + ")";
        case CRecordingReader::End::BadToken:
            return "wiersz " + line + " nie jest próbką: zawiera coś innego niż liczby";
        case CRecordingReader::End::ReadError:
            return "błąd odczytu: " + std::generic_category().message(reader.readErrno());
        default:
            return "plik jest pusty";
    }
}

}  // namespace

CRecordingProbe::probe_t CRecordingProbe::probe(const std::string& fileName) {
    CRecordingReader reader(fileName, kProbeChunk, 0);
    if (!reader.isOpen()) {
        return {Result::CannotOpen, CFileIo::describe(reader.openFailure())};
    }
    app_msg_t sample;
    if (reader.readSample(sample)) {
        return {Result::Samples, {}};
    }
    const bool foreign = reader.end() == CRecordingReader::End::BadToken ||
                         reader.end() == CRecordingReader::End::Truncated;
    return {Result::NoSamples, noSampleReason(reader), foreign};
}

std::optional<std::uint32_t> CRecordingProbe::lastIndex(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (!file) {
        return std::nullopt;
    }
    const std::streamoff size = file.tellg();
    const std::streamoff from = size > kTailBytes ? size - kTailBytes : 0;
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(size - from));
    file.seekg(from);
    if (!file.read(reinterpret_cast<char*>(tail.data()),
                   static_cast<std::streamsize>(tail.size()))) {
        return std::nullopt;
    }
    // Read from the first line that starts within the tail.
    std::size_t start = 0;
    if (from > 0) {
        while (start < tail.size() && tail[start] != '\n') {
            ++start;
        }
        ++start;
    }
    if (start >= tail.size()) {
        return std::nullopt;
    }
    CRecordingReader reader(tail.data() + start, tail.size() - start, kProbeChunk, 0);
    std::optional<std::uint32_t> last;
    app_msg_t sample;
    while (reader.readSample(sample)) {
        last = sample.index;
    }
    return last;
}
