// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/recording_reader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "diag/recording_line.h"

namespace {

using recording_line::isDigit;
using recording_line::isSpace;

// Values are 32-bit, written unsigned (the index reaches 4 294 967 295) and read back
// signed as well; anything wider cannot have come from a recording.
constexpr std::uint64_t kWidest = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();

}  // namespace

CRecordingReader::CRecordingReader(const std::string& fileName, std::size_t chunkSize,
                                   std::size_t segmentSize)
    : chunkSize_(std::max<std::size_t>(chunkSize, 1)), segmentSize_(segmentSize) {
    auto opened = CFileHandle::openForReading(fileName);
    if (!opened.ok()) {
        openFailure_ = opened.status();
        end_ = End::NotOpen;
        return;
    }
    file_ = std::move(opened.file());
    open_ = true;
    sourceSize_ = static_cast<std::uint64_t>(std::max(file_.size(), 0LL));
    buffer_ = std::make_unique<std::uint8_t[]>(chunkSize_ + 1);
}

CRecordingReader::CRecordingReader(const std::uint8_t* data, std::size_t size,
                                   std::size_t chunkSize, std::size_t segmentSize)
    : open_(true),
      memory_(data),
      memorySize_(data != nullptr ? size : 0),
      chunkSize_(std::max<std::size_t>(chunkSize, 1)),
      segmentSize_(segmentSize),
      sourceSize_(memorySize_) {
    buffer_ = std::make_unique<std::uint8_t[]>(chunkSize_ + 1);
}

CRecordingReader::~CRecordingReader() {
    close();
}

void CRecordingReader::close() {
    segment_ = nullptr;
    segments_.reset();  // its workers read from the file
    file_.close();
    open_ = false;
    buffer_.reset();
    pos_ = limit_ = nullptr;
}

bool CRecordingReader::readSample(app_msg_t& sample) {
    if (!open_ || end_ != End::None) {
        return false;
    }
    if (takeFromSegments(sample)) {
        ++samples_;
        return true;
    }
    app_msg_t read;
    if (!(skipSpace() && readLine(read))) {
        std::uint32_t values[kValuesPerSample];
        if (!readTokens(values)) {
            return false;
        }
        store(read, values);
    }
    sample = read;
    ++samples_;
    return true;
}

// Samples from the stretches read ahead while they follow on from each other. Started
// at the first sample of a large source, so a reader that takes only the first few
// starts no threads.
bool CRecordingReader::takeFromSegments(app_msg_t& sample) {
    if (!segmentsTried_) {
        segmentsTried_ = true;
        if (segmentSize_ > 0 && sourceSize_ / 2 >= segmentSize_ && pos_ == nullptr &&
            chunkStart_ == 0) {
            segments_ =
                std::make_unique<CRecordingSegments>(&file_, memory_, sourceSize_, segmentSize_,
                                                     CRecordingSegments::workersForThisMachine());
        }
    }
    while (segments_ != nullptr) {
        if (segment_ != nullptr) {
            if (taken_ < segment_->samples.size()) {
                sample = segment_->samples[taken_++];
                return true;
            }
            line_ += segment_->lineBreaks;
            chunkStart_ = segment_->end;
            if (!segment_->whole()) {
                stopSegments();
                break;
            }
        }
        segment_ = segments_->next();
        taken_ = 0;
        if (segment_ == nullptr || segment_->begin != chunkStart_) {
            stopSegments();
        } else {
            ++stretches_;
        }
    }
    return false;
}

std::uint64_t CRecordingReader::bytesRead() const {
    if (segment_ == nullptr || segment_->samples.empty()) {
        return chunkStart_ + chunkLength_;
    }
    const std::uint64_t span = segment_->end - segment_->begin;
    return segment_->begin + span * taken_ / segment_->samples.size();
}

// The reader goes on alone from the end of the last stretch taken.
void CRecordingReader::stopSegments() {
    segment_ = nullptr;
    segments_.reset();
    chunkLength_ = 0;
    pos_ = limit_ = nullptr;
    if (file_.isOpen() && !file_.seek(static_cast<long long>(chunkStart_))) {
        readFailed_ = true;
        readErrno_ = errno;
        lost_ = true;
    }
}

// The usual line, all in this chunk; false, with the line left to the general rules,
// for anything else.
bool CRecordingReader::readLine(app_msg_t& sample) {
    return recording_line::readUsualLine(pos_, limit_, sample, line_);
}

// Any sample by the general rules; stops the reading when there is none.
bool CRecordingReader::readTokens(std::uint32_t* values) {
    for (int column = 0; column < kValuesPerSample; ++column) {
        std::int64_t value = 0;
        const Token token = extract(value);
        if (column == 0 && token != Token::End) {
            sampleLine_ = tokenLine_;
            sampleOffset_ = tokenOffset_;
        }
        if (token != Token::Value) {
            stop(token, column);
            return false;
        }
        values[column] = static_cast<std::uint32_t>(value);  // the low bits
    }
    return true;
}

// One value as a formatted integer extraction takes it: white space skipped, an optional
// sign, digits up to the first other character (left unread).
CRecordingReader::Token CRecordingReader::extract(std::int64_t& value) {
    if (!skipSpace()) {
        return Token::End;
    }
    tokenLine_ = line_;
    tokenOffset_ = chunkStart_ + static_cast<std::uint64_t>(pos_ - (limit_ - chunkLength_));
    bool negative = false;
    if (*pos_ == '+' || *pos_ == '-') {
        negative = *pos_ == '-';
        ++pos_;
        if (pos_ == limit_ && !refill()) {
            return Token::Cut;
        }
    }
    if (!isDigit(*pos_)) {
        return Token::Bad;
    }
    std::uint64_t magnitude = 0;
    bool tooWide = false;
    if (!readDigits(magnitude, tooWide)) {
        return Token::Cut;  // a value the end of the file runs into is not taken
    }
    value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return tooWide || value < kLowest ? Token::Bad : Token::Value;
}

bool CRecordingReader::skipSpace() {
    for (;;) {
        while (pos_ < limit_) {
            const std::uint8_t c = *pos_;
            if (!isSpace(c)) {
                return true;
            }
            line_ += c == '\n';
            ++pos_;
        }
        if (!refill()) {
            return false;
        }
    }
}

// False when the source ends inside the digits.
bool CRecordingReader::readDigits(std::uint64_t& magnitude, bool& tooWide) {
    for (;;) {
        while (pos_ < limit_) {
            const std::uint8_t c = *pos_;
            if (!isDigit(c)) {
                return true;
            }
            magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
            if (magnitude > kWidest) {
                tooWide = true;
                magnitude = kWidest;  // keeps consuming the digits without overflow
            }
            ++pos_;
        }
        if (!refill()) {
            return false;
        }
    }
}

bool CRecordingReader::refill() {
    chunkStart_ += chunkLength_;
    chunkLength_ = 0;
    pos_ = limit_ = nullptr;
    if (!open_ || lost_) {
        return false;
    }
    if (!file_.isOpen()) {
        if (chunkStart_ >= memorySize_) {
            return false;
        }
        chunkLength_ = std::min<std::uint64_t>(chunkSize_, memorySize_ - chunkStart_);
        std::copy_n(memory_ + chunkStart_, chunkLength_, buffer_.get());
        pos_ = buffer_.get();
    } else {
        const std::ptrdiff_t n = file_.read(buffer_.get(), chunkSize_);
        if (n <= 0) {
            readFailed_ = n < 0;
            readErrno_ = n < 0 ? errno : 0;
            return false;
        }
        chunkLength_ = static_cast<std::uint64_t>(n);
        pos_ = buffer_.get();
    }
    limit_ = pos_ + chunkLength_;
    buffer_[chunkLength_] = 0;
    return true;
}

void CRecordingReader::stop(Token token, int column) {
    if (readFailed_) {
        end_ = End::ReadError;
    } else if (token == Token::Bad) {
        end_ = End::BadToken;
    } else if (token == Token::End && column == 0) {
        end_ = End::Clean;
    } else {
        end_ = End::Truncated;
    }
    if (end_ == End::Clean) {
        stopLine_ = 0;
    } else {
        stopLine_ = token == Token::End && column == 0 ? line_ : sampleLine_;
    }
}

std::size_t CRecordingReader::countUnreadLines() {
    if (!open_ || end_ == End::None || end_ == End::Clean) {
        return 0;
    }
    chunkStart_ = sampleOffset_;
    chunkLength_ = 0;
    if (file_.isOpen() && !file_.seek(static_cast<long long>(sampleOffset_))) {
        return 0;
    }
    std::size_t count = 0;
    bool text = false;
    while (refill()) {
        for (const std::uint8_t* p = pos_; p < limit_; ++p) {
            if (*p == '\n') {
                count += text;
                text = false;
            } else if (!isSpace(*p)) {
                text = true;
            }
        }
    }
    return count + text;
}

void CRecordingReader::store(app_msg_t& sample, const std::uint32_t* values) {
    forEachSampleField([&](auto i) { setSampleField<i>(sample, values[i]); });
}
