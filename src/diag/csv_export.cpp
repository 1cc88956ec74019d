// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/csv_export.h"

#include "diag/settings_history.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

#include "diag/csv_rows.h"
#include "diag/recording_reader.h"
#include "support/atomic_file.h"
#include "support/utf8_path.h"

namespace {

// Rows gather in one large buffer that goes to the file a block at a time.
constexpr std::size_t kBlock = std::size_t{1} << 20;

// Windows has no inode numbers in stat(); the library compares file identities there.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(utf8Path(a), utf8Path(b), error) && !error;
}

std::string lineCount(std::size_t lines, std::size_t from) {
    return "nieodczytane wiersze od wiersza " + std::to_string(from) +
           " (niepustych: " + std::to_string(lines) + ")";
}

}  // namespace

const std::string& CCsvExport::header() {
    static const std::string text = CCsvRows(CControllerClock{}).header();
    return text;
}

void CCsvExport::appendRow(std::string& out, const app_msg_t& sample,
                           const CControllerClock& clock) {
    CCsvRows rows(clock);
    char row[CCsvRows::kMaxRow];
    out.append(row, static_cast<std::size_t>(rows.put(row, sample) - row));
}

bool csv_format_t::usable() const {
    const std::string_view separators = ",;\t|";
    return (decimal == '.' || decimal == ',') && separator != decimal &&
           separators.find(separator) != std::string_view::npos;
}

CCsvExport::result_t CCsvExport::exportFile(const std::string& recording, const std::string& csv,
                                            const csv_format_t& format) {
    result_t result;
    if (sameFile(recording, csv)) {
        result.outcome = Outcome::SameFile;
        return result;
    }
    CRecordingReader reader(recording);
    if (!reader.isOpen()) {
        result.outcome = Outcome::CannotOpen;
        result.failure = reader.openFailure();
        return result;
    }
    CAtomicFile file(csv);
    const std::optional<CControllerClock> clock = CSettingsHistory::clockOf(recording);
    result.clockKnown = clock.has_value();
    CCsvRows rows(clock.value_or(CControllerClock{}), format.separator, format.decimal);
    const std::string head = (format.bom ? "\xEF\xBB\xBF" : "") + rows.header();
    std::vector<char> block(kBlock);
    char* const full = block.data() + block.size() - CCsvRows::kMaxRow;
    char* at = std::copy(head.begin(), head.end(), block.data());
    app_msg_t sample;
    while (file.status().ok() && reader.readSample(sample)) {
        at = rows.put(at, sample);
        ++result.rows;
        if (at > full) {
            file.write(block.data(), static_cast<std::size_t>(at - block.data()));
            at = block.data();
        }
    }
    if (!file.status().ok()) {
        result.outcome = Outcome::WriteFailed;
        result.failure = file.status();
        return result;
    }
    if (reader.end() == CRecordingReader::End::ReadError) {
        result.outcome = Outcome::ReadError;
        result.failure = CFileIo::failed(CFileIo::Failure::Failed, reader.readErrno());
        return result;
    }
    result.stopLine = reader.stopLine();
    result.unreadLines = reader.countUnreadLines();
    if (result.rows == 0 && result.unreadLines > 0) {
        result.outcome = Outcome::NoSamples;
        return result;
    }
    file.write(block.data(), static_cast<std::size_t>(at - block.data()));
    result.failure = file.commit();
    if (!result.failure.ok()) {
        result.outcome = Outcome::WriteFailed;
    }
    return result;
}

std::string CCsvExport::message(const result_t& result, const std::string& recording,
                                const std::string& csv) {
    switch (result.outcome) {
        case Outcome::CannotOpen:
            return "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" + recording +
                   ": " + CFileIo::describe(result.failure);
        case Outcome::ReadError:
            return "Nie można odczytać pliku z danymi diagnostycznymi\n" + recording + ": " +
                   CFileIo::describe(result.failure);
        case Outcome::NoSamples:
            return "Wskaż nagranie diagnostyczne (.lpgd): w tym pliku nie ma ani jednej "
                   "próbki.\n" +
                   recording + ": " + lineCount(result.unreadLines, result.stopLine);
        case Outcome::SameFile:
            return "Wybierz inną nazwę pliku CSV: eksport zastąpiłby samo nagranie.\n" + csv;
        case Outcome::WriteFailed:
            return "Nie można zapisać pliku CSV: wybierz inny folder albo zwolnij miejsce na "
                   "dysku.\n" +
                   csv + ": " + CFileIo::describe(result.failure);
        case Outcome::Written:
            break;
    }
    std::string text =
        "Nagranie zapisano w pliku CSV " + csv + " (próbek: " + std::to_string(result.rows) + ").";
    if (result.unreadLines > 0) {
        text += "\nKońca nagrania nie wyeksportowano: " + recording + ": " +
                lineCount(result.unreadLines, result.stopLine);
    }
    if (!result.clockKnown) {
        text += "\nNagranie nie ma zapisanego zegara sterownika: czasy i obroty przeliczono dla " +
                std::to_string(CControllerClock::kUsualHz) + " Hz.";
    }
    return text;
}

std::string CCsvExport::csvNameFor(const std::string& recording) {
    const std::string extension = ".lpgd";
    const auto slash = recording.rfind('/');
    const std::string name = recording.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.size() > extension.size() &&
        name.compare(name.size() - extension.size(), extension.size(), extension) == 0) {
        return recording.substr(0, recording.size() - extension.size()) + ".csv";
    }
    return recording + ".csv";
}
