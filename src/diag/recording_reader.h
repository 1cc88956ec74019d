// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "diag/app_msg.h"
#include "diag/recording_segments.h"
#include "diag/sample_fields.h"
#include "support/file_handle.h"
#include "support/file_io.h"

// Reads a recording sample by sample with the rules recordings have always been read
// by: 18 integers per sample, any white space (tab, space, line break) between them;
// a sample whose last value runs into the end of the file is not taken; a value wider
// than its field keeps its low bits. A token that is not a decimal integer, or a value
// outside 32 bits, ends the reading as the end of the file would. The file is read in
// large chunks; a sample on one line of plain digits, tabs and spaces is taken in one
// pass over its bytes, anything else byte by byte by the general rules. A large source
// is read ahead in stretches on worker threads (CRecordingSegments) for as long as its
// lines are usual ones.
class CRecordingReader {
  public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 16;
    // A source of two stretches of this size or more is read ahead on worker threads.
    static constexpr std::size_t kSegmentSize = std::size_t{1} << 20;
    static constexpr int kValuesPerSample = static_cast<int>(kSampleFieldCount);

    // Why reading stopped; None while samples may still follow.
    enum class End {
        None,
        Clean,      // the end of the file after a whole sample (or white space only)
        Truncated,  // the end of the file inside a sample or right after its last value
        BadToken,   // something that is not a decimal integer, or too wide for 32 bits
        ReadError,  // the system failed to read the file
        NotOpen,    // the file could not be opened, or is not a regular file
    };

    // Opens without waiting: a FIFO, folder or device is refused and the reader is not open.
    // A segment size of 0 reads on this thread only.
    explicit CRecordingReader(const std::string& fileName, std::size_t chunkSize = kChunkSize,
                              std::size_t segmentSize = kSegmentSize);
    // Reads from memory the caller keeps alive for the reader's lifetime.
    CRecordingReader(const std::uint8_t* data, std::size_t size, std::size_t chunkSize = kChunkSize,
                     std::size_t segmentSize = kSegmentSize);
    CRecordingReader(const CRecordingReader&) = delete;
    CRecordingReader& operator=(const CRecordingReader&) = delete;
    ~CRecordingReader();

    bool isOpen() const { return open_; }
    // Why the file could not be opened (ok() when it was).
    const CFileIo::result_t& openFailure() const { return openFailure_; }
    // The system's error number after End::ReadError.
    int readErrno() const { return readErrno_; }
    // Fills `sample` (all fields not in the file zero, colour included) and returns
    // true, or returns false and leaves `sample` as it was once reading has stopped.
    bool readSample(app_msg_t& sample);
    void close();

    End end() const { return end_; }
    std::size_t samplesRead() const { return samples_; }
    // Stretches read ahead on worker threads that were taken.
    std::size_t stretchesTaken() const { return stretches_; }
    // Size of the source in bytes (0 when unknown); lets a loader reserve room.
    std::uint64_t sourceSize() const { return sourceSize_; }
    // Bytes taken from the source so far, a chunk at a time, or within a stretch read
    // ahead as far as its samples have been taken (for a progress display).
    std::uint64_t bytesRead() const;
    // 1-based line on which the sample that could not be read begins; 0 after a clean
    // end or while reading goes on.
    std::size_t stopLine() const { return stopLine_; }
    // Lines holding anything but white space from stopLine() to the end of the source:
    // what the reading left behind. Ends the reading.
    std::size_t countUnreadLines();

  private:
    enum class Token { Value, End, Cut, Bad };

    bool readLine(app_msg_t& sample);
    bool takeFromSegments(app_msg_t& sample);
    void stopSegments();
    bool readTokens(std::uint32_t* values);
    Token extract(std::int64_t& value);
    bool skipSpace();
    bool readDigits(std::uint64_t& magnitude, bool& tooWide);
    bool refill();
    void stop(Token token, int column);
    static void store(app_msg_t& sample, const std::uint32_t* values);

    CFileHandle file_;
    bool open_ = false;
    const std::uint8_t* memory_ = nullptr;
    std::size_t memorySize_ = 0;
    std::size_t chunkSize_;
    std::size_t segmentSize_;
    // The stretches read ahead, while they go on in order; the reader then goes on alone
    // from the end of the last one taken.
    std::unique_ptr<CRecordingSegments> segments_;
    const CRecordingSegments::segment_t* segment_ = nullptr;
    std::size_t taken_ = 0;  // samples of segment_ handed out
    bool segmentsTried_ = false;
    std::size_t stretches_ = 0;
    // A chunk and one byte after it that is neither a digit nor white space, so the
    // one-pass parse needs no bounds check.
    std::unique_ptr<std::uint8_t[]> buffer_;

    const std::uint8_t* pos_ = nullptr;
    const std::uint8_t* limit_ = nullptr;
    std::uint64_t chunkStart_ = 0;  // source offset of the current chunk
    std::uint64_t chunkLength_ = 0;
    std::uint64_t sourceSize_ = 0;

    CFileIo::result_t openFailure_;
    bool readFailed_ = false;
    bool lost_ = false;  // the position in the file could not be set
    int readErrno_ = 0;
    End end_ = End::None;
    std::size_t samples_ = 0;
    std::size_t line_ = 1;
    std::size_t tokenLine_ = 0;
    std::uint64_t tokenOffset_ = 0;
    std::size_t sampleLine_ = 0;
    std::uint64_t sampleOffset_ = 0;
    std::size_t stopLine_ = 0;
};
