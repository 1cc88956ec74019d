// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "diag/diag_data.h"
#include "diag/recording_loader.h"
#include "diag/recording_reader.h"
#include "diag/recording_writer.h"
#include "file_size_limit.h"
#include "support/error_guard.h"
#include "temp_dir.h"

namespace {

using End = CRecordingReader::End;

app_msg_t example() {
    app_msg_t s;
    s.index = 1;
    s.injector = 3;
    s.work_state = 2;
    s.lpg_injectors = 15;
    s.rpm_period = 4800;
    s.inj_period = 4790;
    s.gas_time = 160;
    s.time_add = 12;
    s.time_sub = 4;
    s.time_aux = 170;
    s.temp_reducer = 120;
    s.temp_gas = 140;
    s.temp_internal = 130;
    s.supply = 96;
    s.lambda = 40;
    s.pressure = 80;
    s.pressure2 = 81;
    s.pressure_intake = 60;
    return s;
}

const std::string kExampleLine =
    "1\t3\t2\t15\t4800\t4790\t160\t12\t4\t170\t120\t140\t130\t96\t40\t80\t81\t60\r\n";

std::vector<app_msg_t> readAll(CRecordingReader& reader) {
    std::vector<app_msg_t> out;
    app_msg_t s;
    while (reader.readSample(s)) {
        out.push_back(s);
    }
    return out;
}

std::vector<app_msg_t> readText(const std::string& text, End* end = nullptr,
                                std::size_t chunk = CRecordingReader::kChunkSize) {
    CRecordingReader reader(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), chunk);
    auto samples = readAll(reader);
    if (end != nullptr) {
        *end = reader.end();
    }
    return samples;
}

std::string numberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        app_msg_t s = example();
        s.index = static_cast<std::uint32_t>(i * 10);
        text += CRecordingWriter::formatLine(s);
    }
    return text;
}

// Writer ----------------------------------------------------------------------------

TEST(RecordingWriterTest, LineHoldsTheEighteenColumnsWithTabsAndCrLf) {
    EXPECT_EQ(CRecordingWriter::formatLine(example()), kExampleLine);

    // Colour and the second event are not recorded.
    app_msg_t s = example();
    s.colour = 0xFF00FF;
    s.inj_period2 = 1;
    s.gas_time2 = 2;
    s.time_sub2 = 3;
    s.time_add2 = 4;
    EXPECT_EQ(CRecordingWriter::formatLine(s), kExampleLine);
}

TEST(RecordingWriterTest, WidestValuesFillTheLongestLine) {
    app_msg_t s;
    s.index = 4294967295u;
    s.injector = s.work_state = s.lpg_injectors = 255;
    s.rpm_period = s.inj_period = s.gas_time = s.time_add = s.time_sub = s.time_aux = 65535;
    s.temp_reducer = s.temp_gas = s.temp_internal = s.supply = 255;
    s.lambda = s.pressure = s.pressure2 = s.pressure_intake = 255;
    const std::string line = CRecordingWriter::formatLine(s);
    EXPECT_EQ(line.rfind("4294967295\t255\t255\t255\t65535\t", 0), 0u);
    EXPECT_EQ(line.size(), CRecordingWriter::kMaxLine);
    EXPECT_EQ(line.size(), 92u);
    EXPECT_EQ(CRecordingWriter::formatLine(app_msg_t{}),
              "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n");
}

TEST(RecordingWriterTest, EachLineIsInTheFileAsSoonAsItIsWritten) {
    CTempDir dir;
    const std::string file = dir.path("run.lpgd");
    CTempDir::writeBytes(file, "old content that must go\n");
    CRecordingWriter writer;
    ASSERT_TRUE(writer.open(file));
    EXPECT_EQ(CTempDir::readBytes(file), "");
    ASSERT_TRUE(writer.write(example()));
    EXPECT_EQ(CTempDir::readBytes(file), kExampleLine);  // still open
    app_msg_t second = example();
    second.index = 2;
    ASSERT_TRUE(writer.write(second));
    EXPECT_TRUE(writer.close());
    EXPECT_EQ(CTempDir::readLines(file),
              (std::vector<std::string>{kExampleLine.substr(0, kExampleLine.size() - 2),
                                        "2" + kExampleLine.substr(1, kExampleLine.size() - 3)}));
    EXPECT_EQ(writer.linesWritten(), 2u);
}

TEST(RecordingWriterTest, FailuresAreReportedNotIgnored) {
    CTempDir dir;
    CRecordingWriter writer;
    EXPECT_FALSE(writer.open(dir.path("no/such/folder/run.lpgd")));
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.write(example()));

    ASSERT_TRUE(writer.open(dir.path("full.lpgd")));
    {
        CFileSizeLimit full(0);  // every write: the disk is full
        EXPECT_FALSE(writer.write(example()));
    }
    EXPECT_EQ(writer.lastErrno(), EFBIG);
    EXPECT_EQ(writer.linesWritten(), 0u);
}

// Reader ----------------------------------------------------------------------------

TEST(RecordingReaderTest, CompleteLinesReadBackInFileOrderWithTheirIndexes) {
    CTempDir dir;
    const std::string file = dir.path("run.lpgd");
    CTempDir::writeBytes(file, numberedLines(5));
    CRecordingReader reader(file);
    ASSERT_TRUE(reader.isOpen());
    const auto samples = readAll(reader);
    ASSERT_EQ(samples.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        app_msg_t expected = example();
        expected.index = static_cast<std::uint32_t>((i + 1) * 10);
        EXPECT_EQ(samples[i], expected);
    }
    EXPECT_EQ(reader.end(), End::Clean);
    EXPECT_EQ(reader.samplesRead(), 5u);
    EXPECT_EQ(reader.stopLine(), 0u);
    EXPECT_EQ(reader.countUnreadLines(), 0u);
}

TEST(RecordingReaderTest, AnyWhiteSpaceSeparatesValues) {
    End end;
    const auto samples =
        readText("1 3  2\n15 4800\n\n4790 160 12 4 170\t120 140\r\n130 96 40 80 \v81\f60\n", &end);
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(samples[0], example());
    EXPECT_EQ(end, End::Clean);
}

TEST(RecordingReaderTest, ValuesWiderThanTheirFieldKeepTheirLowBits) {
    const auto samples =
        readText("-1\t-1\t300\t256\t70000\t65536\t-1\t0\t0\t0\t511\t0\t0\t0\t0\t0\t0\t+7\n");
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(samples[0].index, 4294967295u);
    EXPECT_EQ(samples[0].injector, 255);
    EXPECT_EQ(samples[0].work_state, 44);
    EXPECT_EQ(samples[0].lpg_injectors, 0);
    EXPECT_EQ(samples[0].rpm_period, 4464);
    EXPECT_EQ(samples[0].inj_period, 0);
    EXPECT_EQ(samples[0].gas_time, 65535);
    EXPECT_EQ(samples[0].temp_reducer, 255);
    EXPECT_EQ(samples[0].pressure_intake, 7);
    EXPECT_EQ(samples[0].colour, 0u);
    EXPECT_EQ(samples[0].gas_time2, 0);
}

TEST(RecordingReaderTest, LargestIndexTheWriterWritesReadsBack) {
    app_msg_t s = example();
    s.index = 4294967295u;
    const auto samples = readText(CRecordingWriter::formatLine(s));
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(samples[0], s);
}

TEST(RecordingReaderTest, AnIncompleteLastLineYieldsNothing) {
    const std::string text = numberedLines(2) + "30\t3\t2\t15\t4800\t4790\t160";
    CRecordingReader reader(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(readAll(reader).size(), 2u);
    EXPECT_EQ(reader.end(), End::Truncated);
    EXPECT_EQ(reader.stopLine(), 3u);
    EXPECT_EQ(reader.countUnreadLines(), 1u);
}

TEST(RecordingReaderTest, ALastValueNotFollowedByWhiteSpaceYieldsNothing) {
    End end;
    const std::string line = kExampleLine.substr(0, kExampleLine.size() - 2);
    EXPECT_TRUE(readText(line, &end).empty());
    EXPECT_EQ(end, End::Truncated);
    EXPECT_EQ(readText(line + " ", &end).size(), 1u);
    EXPECT_EQ(end, End::Clean);
}

TEST(RecordingReaderTest, NothingButWhiteSpaceIsAnEmptyRecording) {
    End end;
    EXPECT_TRUE(readText("", &end).empty());
    EXPECT_EQ(end, End::Clean);
    EXPECT_TRUE(readText(" \r\n\t\n", &end).empty());
    EXPECT_EQ(end, End::Clean);
}

TEST(RecordingReaderTest, ATokenThatIsNotANumberEndsTheReading) {
    const std::string text = numberedLines(2) + "30\t3\tx\t15\r\n" + numberedLines(3) + "\n";
    CRecordingReader reader(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(readAll(reader).size(), 2u);
    EXPECT_EQ(reader.end(), End::BadToken);
    app_msg_t untouched = example();
    EXPECT_FALSE(reader.readSample(untouched));
    EXPECT_EQ(untouched, example());
    EXPECT_EQ(reader.stopLine(), 3u);
    EXPECT_EQ(reader.countUnreadLines(), 4u);  // the bad line and three after it
}

TEST(RecordingReaderTest, TokensThatEndReadingAsAtTheEndOfTheFile) {
    const std::string good = numberedLines(1);
    const char* bad[] = {"12abc",      "-",           "+-1", "0x10",
                         "4294967296", "-2147483649", "1.5", "99999999999999999999999"};
    for (const char* token : bad) {
        End end;
        const auto samples = readText(good + "1\t2\t" + token + "\t4\n" + good, &end);
        EXPECT_EQ(samples.size(), 1u) << token;
        EXPECT_EQ(end, End::BadToken) << token;
    }
    End end;
    EXPECT_EQ(readText(good + "1\t2\t-2147483648\t4\n", &end).size(), 1u);
    EXPECT_EQ(end, End::Truncated);  // a number, but the line is short
}

TEST(RecordingReaderTest, ChunkSizeDoesNotChangeWhatIsRead) {
    const std::string text = numberedLines(3) + "7 1 2\n3 4 5 6 7 8 9 10 11 12 13 14 15\r\n16 " +
                             numberedLines(2) + "4 4 4 4";
    End whole;
    const auto expected = readText(text, &whole);
    for (std::size_t chunk = 1; chunk <= 9; ++chunk) {
        End end;
        EXPECT_EQ(readText(text, &end, chunk), expected) << chunk;
        EXPECT_EQ(end, whole) << chunk;
    }
    EXPECT_EQ(expected.size(), 6u);
    EXPECT_EQ(whole, End::Truncated);
}

TEST(RecordingReaderTest, OnePassAndGeneralReadingAgreeAtEveryChunkBoundary) {
    const std::string text =
        numberedLines(4) + "5 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\r\n" +
        "00000000006\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\t15\t16\t" + "4294967295\n" +
        numberedLines(2) + "1 2 3";
    // Vertical tabs part the same values but keep every line off the one-pass parse.
    std::string general = text;
    std::replace(general.begin(), general.end(), '\t', '\v');
    End generalEnd;
    const auto expected = readText(general, &generalEnd);
    ASSERT_EQ(expected.size(), 8u);
    for (std::size_t chunk : {std::size_t{5}, std::size_t{61}, std::size_t{62}, std::size_t{63},
                              std::size_t{64}, std::size_t{100}, CRecordingReader::kChunkSize}) {
        End end;
        EXPECT_EQ(readText(text, &end, chunk), expected) << chunk;
        EXPECT_EQ(end, generalEnd) << chunk;
    }
}

// Lines as the program has always written them go through reading, the sample store and
// writing unchanged, byte for byte.
TEST(RecordingReaderTest, ARecordingRoundTripsByteForByteThroughTheStore) {
    const std::string recording =
        "1\t1\t2\t0\t0\t0\t0\t0\t0\t0\t211\t208\t152\t104\t0\t12\t0\t162\r\n"
        "2\t2\t3\t15\t4801\t4701\t101\t12\t4\t0\t0\t150\t0\t0\t0\t90\t0\t0\r\n"
        "4294967295\t255\t255\t255\t65535\t65535\t65535\t65535\t65535\t65535\t255\t255\t255\t"
        "255\t255\t255\t255\t255\r\n";
    CDiagData store;
    for (const auto& sample : readText(recording)) {
        store.push(sample);
    }
    std::vector<app_msg_t> samples;
    store.getRange(samples, 0, 3);
    std::string written;
    for (const auto& sample : samples) {
        written += CRecordingWriter::formatLine(sample);
    }
    EXPECT_EQ(written, recording);
}

TEST(RecordingReaderTest, FileAndMemoryReadTheSame) {
    CTempDir dir;
    const std::string file = dir.path("run.lpgd");
    const std::string text = numberedLines(4) + "1 2 bad";
    CTempDir::writeBytes(file, text);
    CRecordingReader fromFile(file, 7);
    End end;
    EXPECT_EQ(readAll(fromFile), readText(text, &end));
    EXPECT_EQ(fromFile.end(), end);
    EXPECT_EQ(fromFile.countUnreadLines(), 1u);
}

struct reading_t {
    std::vector<app_msg_t> samples;
    End end = End::None;
    std::size_t stopLine = 0;
    std::size_t unread = 0;
    std::size_t stretches = 0;
    bool operator==(const reading_t&) const = default;
};

reading_t readWhole(CRecordingReader& reader) {
    reading_t reading;
    reading.samples = readAll(reader);
    reading.end = reader.end();
    reading.stopLine = reader.stopLine();
    reading.stretches = reader.stretchesTaken();
    reading.unread = reader.countUnreadLines();
    return reading;
}

// Large recordings are read ahead in stretches on worker threads. Whatever the
// stretches' size and wherever a line the one-pass parse refuses falls, the reading is
// the one the reader makes alone: the same samples, the same end and the same lines
// left behind.
TEST(RecordingReaderTest, ReadingAheadInStretchesReadsWhatOneThreadReads) {
    const std::string crossing = "7 1 2\n3 4 5 6 7 8 9 10 11 12 13 14 15\r\n16 ";
    const std::string wide =
        "00000000006\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\t15\t16\t4294967295\n";
    std::string unixLines = numberedLines(9);
    unixLines.erase(std::remove(unixLines.begin(), unixLines.end(), '\r'), unixLines.end());
    std::string mixed;
    const std::string pieces[] = {numberedLines(3), crossing, wide, "\n  \n", unixLines};
    for (unsigned i = 0, state = 7; i < 60; ++i) {
        state = state * 1103515245u + 12345u;
        mixed += pieces[(state >> 16) % std::size(pieces)];
    }
    const std::string lastLine = kExampleLine.substr(0, kExampleLine.size() - 2);
    const std::string texts[] = {
        numberedLines(40),
        unixLines + "\n \t\n" + unixLines + "  ",
        numberedLines(12) + crossing + numberedLines(12) + wide + numberedLines(12),
        numberedLines(12) + "1 2 bad\n" + numberedLines(12),
        numberedLines(20) + "4 4 4 4",
        numberedLines(20) + lastLine,
        numberedLines(5) + std::string(9000, ' ') + numberedLines(5),
        mixed,
    };
    CTempDir dir;
    const std::string file = dir.path("run.lpgd");
    std::size_t stretches = 0;
    for (std::size_t t = 0; t < std::size(texts); ++t) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(texts[t].data());
        CRecordingReader alone(bytes, texts[t].size(), 64, 0);
        const reading_t expected = readWhole(alone);
        CTempDir::writeBytes(file, texts[t]);
        for (std::size_t segment : {8, 61, 64, 157, 300, 1000}) {
            CRecordingReader fromMemory(bytes, texts[t].size(), 64, segment);
            CRecordingReader fromFile(file, 100, segment);
            reading_t memoryReading = readWhole(fromMemory);
            reading_t fileReading = readWhole(fromFile);
            stretches += memoryReading.stretches + fileReading.stretches;
            {
                // Left after one sample, with the workers reading ahead: closed, not hung.
                CRecordingReader left(file, 100, segment);
                app_msg_t sample;
                EXPECT_EQ(left.readSample(sample), !expected.samples.empty());
            }
            memoryReading.stretches = fileReading.stretches = 0;
            EXPECT_EQ(memoryReading, expected) << "text " << t << ", stretches of " << segment;
            EXPECT_EQ(fileReading, expected) << "text " << t << ", stretches of " << segment;
        }
    }
    EXPECT_GT(stretches, 100u);
}

TEST(RecordingReaderTest, AMissingFileIsNotOpenAndAFolderCannotBeRead) {
    CTempDir dir;
    CRecordingReader reader(dir.path("missing.lpgd"));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.end(), End::NotOpen);
    app_msg_t s;
    EXPECT_FALSE(reader.readSample(s));

    // A folder is refused when it is opened, not found out on the first read.
    CRecordingReader folder(dir.path(""));
    EXPECT_FALSE(folder.isOpen());
    EXPECT_FALSE(folder.readSample(s));
    EXPECT_EQ(folder.end(), End::NotOpen);
    EXPECT_EQ(folder.openFailure().failure, CFileIo::Failure::NotRegular);
}

// Loader ----------------------------------------------------------------------------

TEST(RecordingLoaderTest, LoadsEverySampleWithoutColour) {
    CTempDir dir;
    const std::string file = dir.path("run.lpgd");
    CTempDir::writeBytes(file, numberedLines(3) + "40\t3");
    CRecordingLoader loader(file);
    const auto samples = loader.loadAll();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[2].index, 30u);
    EXPECT_EQ(samples[2].colour, 0u);
    EXPECT_EQ(loader.reader().end(), End::Truncated);
    EXPECT_EQ(loader.unreadLines(), 1u);
    EXPECT_FALSE(loader.reader().isOpen());
}

TEST(RecordingLoaderTest, AMissingFileRaisesCodeFour) {
    CTempDir dir;
    CRecordingLoader loader(dir.path("missing.lpgd"));
    ErrorPtr error = catchError([&] { loader.loadAll(); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 4u);
    EXPECT_EQ(error->message(), "Nie można otworzyć pliku do odczytu danych diagnostycznych");
}

}  // namespace
