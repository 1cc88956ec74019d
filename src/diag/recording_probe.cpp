// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_probe.h"

#include <system_error>

#include "diag/recording_reader.h"

namespace {

// The first sample sits near the start; no need for the reader's large buffer.
constexpr std::size_t kProbeChunk = 4096;

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
