// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "diag/app_msg.h"
#include "diag/sample_fields.h"
#include "support/file_handle.h"
#include "support/file_io.h"

// Writes a recording: one line of 18 tab-separated decimal values per sample, ended by
// CR LF as recordings have always been written. Every line goes to the operating
// system as it is written, so a recording is complete up to its last sample even if
// the program ends abruptly.
class CRecordingWriter {
  public:
    // Longest line: the index of 10 digits, six 16-bit values of 5, eleven 8-bit values
    // of 3, 17 tabs and CR LF.
    static constexpr std::size_t kMaxLine = 10 + 6 * 5 + 11 * 3 + 17 + 2;
    static_assert(kSampleFieldBytes == 4 + 6 * 2 + 11, "the line's widths above");

    CRecordingWriter() = default;
    CRecordingWriter(const CRecordingWriter&) = delete;
    CRecordingWriter& operator=(const CRecordingWriter&) = delete;
    ~CRecordingWriter();

    // Creates the file or truncates it; false when it cannot be opened or is not a
    // regular file (a FIFO, device or folder is refused untouched, without waiting).
    bool open(const std::string& fileName);
    bool isOpen() const { return file_.isOpen(); }
    // False when the line could not be written whole (disk full, device gone); the
    // error number is kept in lastErrno().
    bool write(const app_msg_t& sample);
    // False when the system reported a failure on closing.
    bool close();
    int lastErrno() const { return errno_; }
    // Why the last open failed (ok() after a successful one).
    const CFileIo::result_t& openFailure() const { return openFailure_; }
    // Whole lines that reached the file since it was opened.
    std::size_t linesWritten() const { return lines_; }

    // The line of one sample; `out` has room for kMaxLine bytes. Returns its length.
    static std::size_t formatLine(const app_msg_t& sample, char* out);
    static std::string formatLine(const app_msg_t& sample);

  private:
    CFileHandle file_;
    int errno_ = 0;
    std::size_t lines_ = 0;
    CFileIo::result_t openFailure_;
};
