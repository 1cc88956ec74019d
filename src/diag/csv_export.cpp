#include "diag/csv_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "diag/recording_reader.h"
#include "support/atomic_file.h"
#include "support/utf8_path.h"

namespace {

// Digits after the point: a time tick is 0.025 ms, a pressure step about 1 kPa, a
// supply step 0.12 V, a lambda step 0.02 V.
constexpr int kTimeDecimals = 3;
constexpr int kPressureDecimals = 1;
constexpr int kSupplyDecimals = 2;
constexpr int kLambdaDecimals = 3;
// A CSV row is a little longer than its recording line.
constexpr double kGrowth = 1.4;

// A row is put together in a buffer and appended once: appending piece by piece costs
// more than all the formatting. Fourteen fields of at most 23 characters fit.
constexpr std::size_t kMaxRow = 384;
// Beyond this no reading makes sense; it keeps the scaled value inside 64 bits.
constexpr double kLargest = 1e15;

// Fixed-point by hand: the value scaled to whole units of its last digit, rounded half
// away from zero, then the point put in. Several times faster than formatting a double,
// and a value that rounds to zero carries no sign ("0.000", never "-0.000").
char* putNumber(char* out, double value, int decimals) {
    static constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0};
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    value = std::clamp(value, -kLargest, kLargest);
    long long scaled = std::llround(value * kScale[decimals]);
    if (scaled < 0) {
        *out++ = '-';
        scaled = -scaled;
    }
    char digits[24];
    const int count =
        static_cast<int>(std::to_chars(digits, digits + sizeof digits, scaled).ptr - digits);
    int whole = count - decimals;
    if (whole <= 0) {
        *out++ = '0';
        whole = 0;
    } else {
        out = std::copy(digits, digits + whole, out);
    }
    if (decimals > 0) {
        *out++ = '.';
        out = std::fill_n(out, decimals - (count - whole), '0');
        out = std::copy(digits + whole, digits + count, out);
    }
    *out++ = ',';
    return out;
}

char* putInteger(char* out, long long value) {
    out = std::to_chars(out, out + 24, value).ptr;
    *out++ = ',';
    return out;
}

char* putText(char* out, const char* text) {
    while (*text != '\0') {
        *out++ = *text++;
    }
    return out;
}

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
    static const std::string text =
        "Nr próbki,Wtryskiwacz,Tryb,Obroty [1/min],Czas benz. [ms],Czas LPG [ms],"
        "T. reduktora [°C],T. LPG [°C],T. wewn. [°C],Ciśn. różnicowe [kPa],Ciśn. 2 [kPa],"
        "Ciśn. w kolektorze [kPa],Nap. zas. [V],Lambda [V]\r\n";
    return text;
}

void CCsvExport::appendRow(std::string& out, const app_msg_t& s) {
    char row[kMaxRow];
    char* p = putInteger(row, s.index);
    p = putInteger(p, s.injector);
    p = putText(p, s.onLpg() ? "LPG," : "Benzyna,");
    p = putNumber(p, s.rpm(), 0);
    p = putNumber(p, s.gasTimeMs(), kTimeDecimals);
    p = putNumber(p, s.lpgTimeMs(), kTimeDecimals);
    p = putNumber(p, s.reducerTemp(), 0);
    p = putNumber(p, s.gasTemp(), 0);
    p = putNumber(p, s.internalTemp(), 0);
    p = putNumber(p, s.pressureKpa(), kPressureDecimals);
    p = putNumber(p, s.pressure2Kpa(), kPressureDecimals);
    p = putNumber(p, s.intakeKpa(), kPressureDecimals);
    p = putNumber(p, s.supplyVolts(), kSupplyDecimals);
    p = putNumber(p, s.lambdaVolts(), kLambdaDecimals);
    p[-1] = '\r';
    *p++ = '\n';
    out.append(row, static_cast<std::size_t>(p - row));
}

CCsvExport::result_t CCsvExport::exportFile(const std::string& recording, const std::string& csv) {
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
    std::string text = header();
    text.reserve(static_cast<std::size_t>(static_cast<double>(reader.sourceSize()) * kGrowth));
    app_msg_t sample;
    while (reader.readSample(sample)) {
        appendRow(text, sample);
        ++result.rows;
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
    result.failure = CAtomicFile::replace(csv, text.data(), text.size());
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
