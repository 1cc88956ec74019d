// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "diag/app_msg.h"
#include "support/file_io.h"

// How the CSV is written: by default comma-separated with a decimal point and no byte
// order mark; a Polish spreadsheet wants semicolons, a decimal comma and the mark that
// tells it the text is UTF-8.
struct csv_format_t {
    char separator = ',';
    char decimal = '.';
    bool bom = false;
    static csv_format_t polishSpreadsheet() { return {';', ',', true}; }
    bool standard() const { return separator == ',' && decimal == '.' && !bom; }
    // The separator is one of , ; tab | and differs from the decimal mark (. or ,).
    bool usable() const;
};

// A recording as CSV, for spreadsheets and log viewers: a header row, then one row per
// sample in engineering units (with the clock of the recording's run), comma-separated,
// a dot for the decimal point unless told otherwise, lines ending "\r\n". The rows
// stream to the file as the recording is read, so memory stays the same however long
// the recording; the CSV file is replaced atomically, so a failed export leaves any
// earlier one whole.
class CCsvExport {
  public:
    enum class Outcome {
        Written,      // every sample, or every one up to lines that could not be read
        CannotOpen,   // the recording
        ReadError,    // the recording, part way through
        NoSamples,    // the file holds lines but not one sample: not a recording
        SameFile,     // the CSV would replace the recording itself
        WriteFailed,  // the CSV
    };

    struct result_t {
        Outcome outcome = Outcome::Written;
        std::size_t rows = 0;         // samples written
        std::size_t stopLine = 0;     // first recording line not exported (0: none)
        std::size_t unreadLines = 0;  // non-blank lines from there on
        CFileIo::result_t failure;    // why opening, reading or writing failed
        bool clockKnown = true;       // false: times at the usual clock, the recording's unknown
        bool ok() const { return outcome == Outcome::Written; }
    };

    // The default form's header and one row (for a single sample; an export formats
    // through one CCsvRows).
    static const std::string& header();
    static void appendRow(std::string& out, const app_msg_t& sample, const CControllerClock& clock);

    static result_t exportFile(const std::string& recording, const std::string& csv,
                               const csv_format_t& format = {});
    // What the user reads afterwards: the outcome, or what to do, then the detail line.
    static std::string message(const result_t& result, const std::string& recording,
                               const std::string& csv);
    // FILE.lpgd → FILE.csv; other names get ".csv" added.
    static std::string csvNameFor(const std::string& recording);
};
