#include "diag/recording_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace {

// White space as the C locale knows it: space, tab, line feed, vertical tab, form feed,
// carriage return.
constexpr bool isSpace(std::uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr bool isDigit(std::uint8_t c) {
    return static_cast<unsigned>(c - '0') <= 9u;
}

// Values are 32-bit, written unsigned (the index reaches 4 294 967 295) and read back
// signed as well; anything wider cannot have come from a recording.
constexpr std::uint64_t kWidest = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();

}  // namespace

CRecordingReader::CRecordingReader(const std::string& fileName, std::size_t chunkSize)
    : chunkSize_(std::max<std::size_t>(chunkSize, 1)) {
    fd_ = CFileIo::openForReading(fileName, CFileIo::Source::RegularFile, openFailure_);
    if (fd_ < 0) {
        end_ = End::NotOpen;
        return;
    }
    open_ = true;
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
        sourceSize_ = static_cast<std::uint64_t>(info.st_size);
    }
    buffer_ = std::make_unique<std::uint8_t[]>(chunkSize_);
}

CRecordingReader::CRecordingReader(const std::uint8_t* data, std::size_t size,
                                   std::size_t chunkSize)
    : open_(true),
      memory_(data),
      memorySize_(data != nullptr ? size : 0),
      chunkSize_(std::max<std::size_t>(chunkSize, 1)),
      sourceSize_(memorySize_) {}

CRecordingReader::~CRecordingReader() {
    close();
}

void CRecordingReader::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    open_ = false;
    buffer_.reset();
    pos_ = limit_ = nullptr;
}

bool CRecordingReader::readSample(app_msg_t& sample) {
    if (!open_ || end_ != End::None) {
        return false;
    }
    std::int64_t values[kValuesPerSample];
    for (int column = 0; column < kValuesPerSample; ++column) {
        const Token token = extract(values[column]);
        if (column == 0 && token != Token::End) {
            sampleLine_ = tokenLine_;
            sampleOffset_ = tokenOffset_;
        }
        if (token != Token::Value) {
            stop(token, column);
            return false;
        }
    }
    app_msg_t read{};
    store(read, values);
    sample = read;
    ++samples_;
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
    if (!open_) {
        return false;
    }
    if (fd_ < 0) {
        if (chunkStart_ >= memorySize_) {
            return false;
        }
        chunkLength_ = std::min<std::uint64_t>(chunkSize_, memorySize_ - chunkStart_);
        pos_ = memory_ + chunkStart_;
    } else {
        ssize_t n;
        do {
            n = ::read(fd_, buffer_.get(), chunkSize_);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            readFailed_ = n < 0;
            readErrno_ = n < 0 ? errno : 0;
            return false;
        }
        chunkLength_ = static_cast<std::uint64_t>(n);
        pos_ = buffer_.get();
    }
    limit_ = pos_ + chunkLength_;
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
    if (fd_ >= 0 && ::lseek(fd_, static_cast<off_t>(sampleOffset_), SEEK_SET) < 0) {
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

void CRecordingReader::store(app_msg_t& s, const std::int64_t* v) {
    auto u8 = [](std::int64_t x) { return static_cast<std::uint8_t>(x); };
    auto u16 = [](std::int64_t x) { return static_cast<std::uint16_t>(x); };
    s.index = static_cast<std::uint32_t>(v[0]);
    s.injector = u8(v[1]);
    s.work_state = u8(v[2]);
    s.lpg_injectors = u8(v[3]);
    s.rpm_period = u16(v[4]);
    s.inj_period = u16(v[5]);
    s.gas_time = u16(v[6]);
    s.time_add = u16(v[7]);  // the file holds add before sub
    s.time_sub = u16(v[8]);
    s.time_aux = u16(v[9]);
    s.temp_reducer = u8(v[10]);
    s.temp_gas = u8(v[11]);
    s.temp_internal = u8(v[12]);
    s.supply = u8(v[13]);
    s.lambda = u8(v[14]);
    s.pressure = u8(v[15]);
    s.pressure2 = u8(v[16]);
    s.pressure_intake = u8(v[17]);
}
