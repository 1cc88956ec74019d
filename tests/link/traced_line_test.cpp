// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/traced_line.h"

#include <gtest/gtest.h>

#include "frames.h"
#include "link/protocol.h"
#include "scripted_line.h"
#include "temp_dir.h"

namespace {

// The trace's lines without their time stamps.
std::vector<std::string> untimed(const std::string& file) {
    std::vector<std::string> lines;
    std::string text = CTempDir::readBytes(file);
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = text.substr(start, end - start);
        lines.push_back(line[0] == '#' ? line : line.substr(line.find(' ') + 1));
    }
    return lines;
}

TEST(TracedLineTest, OneLinePerFrameAndPortEvent) {
    CTempDir dir;
    std::string problem;
    auto trace = CWireTrace::open(dir.path("trace.txt"), problem);
    ASSERT_TRUE(trace) << problem;
    auto scripted = std::make_unique<CScriptedLine>();
    // Two stray bytes, the reply, and half a frame that never ends.
    bytes_t reply = commandReply(proto::CMD_TEST, 0, 0x0400);
    reply.insert(reply.begin(), {0x01, 0xAA});
    reply.insert(reply.end(), {0xAA, 0x55, 0x06});
    scripted->script(reply);
    {
        CTracedLine line(std::move(scripted), trace);
        line.open(1);
        line.purgeIn();
        const bytes_t request = commandFrame(proto::CMD_TEST);
        line.write(request.data(), static_cast<int>(request.size()));
        std::uint8_t buffer[32];
        EXPECT_EQ(line.read(buffer, 6), 6);
        EXPECT_EQ(line.read(buffer, 11), 11);
        EXPECT_EQ(line.read(buffer, 12), 0);
        line.close();
    }
    EXPECT_EQ(untimed(dir.path("trace.txt")), (std::vector<std::string>{
                                                  CWireTrace::kHeader,
                                                  "open 1",
                                                  "purge in",
                                                  "> 4 12 AA 55 06 04 09 00 00 00 00 00 00 13",
                                                  "< - 2 01 AA",
                                                  "< 4 12 AA 55 06 04 09 00 00 00 04 00 00 17",
                                                  "< - 3 AA 55 06",
                                                  "timeout 12 0",
                                                  "close",
                                              }));
}

TEST(TracedLineTest, AFileThatCannotBeWrittenIsRefusedWithTheReason) {
    CTempDir dir;
    std::string problem;
    EXPECT_FALSE(CWireTrace::open(dir.path("brak/trace.txt"), problem));
    EXPECT_EQ(problem.substr(0, problem.find('\n')),
              "Nie można zapisać śladu komunikacji w pliku " + dir.path("brak/trace.txt"));
}

}  // namespace

namespace {

// A traced line names its ports, and is found beneath the trace, as the line it wraps.
TEST(TracedLineTest, ItNamesPortsAsTheLineItWraps) {
    class NamedLine : public CScriptedLine {
      public:
        std::string portName(int port) const override { return "/dev/ttyX" + std::to_string(port); }
    };
    CTempDir dir;
    std::string problem;
    auto inner = std::make_unique<NamedLine>();
    NamedLine* wrapped = inner.get();
    CTracedLine line(std::move(inner), CWireTrace::open(dir.path("trace.txt"), problem));
    EXPECT_EQ(line.portName(3), "/dev/ttyX3");
    EXPECT_EQ(&CTracedLine::untraced(line), wrapped);
}

}  // namespace
