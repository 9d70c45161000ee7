// Byte forms of every command and the write outcomes that do and do not count as the control's loss.
#include "link/command_encoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {
namespace pc = panel_command;

std::string Encode(PanelCommand c) {
    char buf[CommandBufferSize];
    const int n = EncodeCommand(c, buf);
    EXPECT_EQ(buf[n], '\0');
    return std::string(buf, static_cast<size_t>(n));
}

TEST(EncodeCommand, ByteForms) {
    struct Case {
        PanelCommand command;
        const char* bytes;
    };
    const Case cases[] = {
        {{pc::CursorKey, pc::Left, 0}, "H"},
        {{pc::CursorKey, pc::Up, 99}, "K"},
        {{pc::CursorKey, pc::Right, -1}, "L"},
        {{pc::CursorKey, pc::Down, 28}, "J"},
        {{pc::SelectLine, 0, 0}, "p1\n"},
        {{pc::SelectLine, 19, 5}, "p20\n"},
        {{pc::SelectLine, 8, 0}, "p9\n"},
        {{pc::SelectLine, -1, 0}, "p0\n"},
        {{pc::SelectLine, INT32_MAX, 0}, "p-2147483648\n"},
        {{pc::SelectLine, INT32_MIN, 0}, "p-2147483647\n"},
        {{pc::ScrollLine, 1, 0}, "o"},
        {{pc::ScrollLine, -7, 0}, "o"},
        {{pc::ScrollLine, INT32_MIN, 0}, "o"},
        {{pc::ScrollLine, 0, 1}, "O"},
        {{pc::Adjust, pc::AdjustUp, pc::Slow}, "Z"},
        {{pc::Adjust, pc::AdjustDown, pc::Slow}, "X"},
        {{pc::Adjust, pc::AdjustUp, pc::Normal}, "A"},
        {{pc::Adjust, pc::AdjustDown, pc::Normal}, "S"},
        {{pc::Adjust, pc::AdjustUp, pc::Fast}, "Q"},
        {{pc::Adjust, pc::AdjustDown, pc::Fast}, "W"},
        {{pc::ExitKey, 0, 0}, "P"},
        {{pc::ExitKey, 12345, -9}, "P"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(c.command), c.bytes) << c.command.type << "/" << c.command.argument << "/" << c.command.speed;
    EXPECT_EQ(Encode({pc::SelectLine, 0, 0}), std::string("\x70\x31\x0a"));
    EXPECT_EQ(Encode({pc::SelectLine, 19, 0}), std::string("\x70\x32\x30\x0a"));
}

TEST(EncodeCommand, RequestsWithoutAByteForm) {
    const PanelCommand cases[] = {
        {pc::CursorKey, 24, 0},     {pc::CursorKey, 19, 0},        {pc::Adjust, pc::AdjustUp, 29},
        {pc::Adjust, pc::AdjustDown, 25}, {pc::Adjust, 26, pc::Normal}, {pc::Adjust, pc::AdjustUp, 0},
        {0, 0, 0},                  {5, 0, 0},                     {9, 0, 0},
        {-3, 20, 26},               {INT32_MAX, 0, 0},
    };
    for (const PanelCommand& c : cases)
        EXPECT_EQ(Encode(c), "") << c.type << "/" << c.argument << "/" << c.speed;
}

class FakePipe final : public PipeWriter {
public:
    WriteStatus Write(const char* bytes, uint32_t count, uint32_t* written) override {
        writes.emplace_back(bytes, count);
        *written = reportWritten;
        return status;
    }
    bool Flush() override {
        ++flushes;
        return flushOk;
    }
    WriteStatus status = WriteStatus::Ok;
    uint32_t reportWritten = 0;
    bool flushOk = true;
    int flushes = 0;
    std::vector<std::string> writes;
};

class CountingReporter final : public LostControlReporter {
public:
    void ReportLostControl() override { ++reports; }
    int reports = 0;
};

TEST(SendCommand, WriteOutcomes) {
    using S = PipeWriter::WriteStatus;
    struct Case {
        const char* name;
        S status;
        uint32_t written;
        bool flushOk;
        int wantFlushes;
        int wantReports;
    };
    const Case cases[] = {
        {"written", S::Ok, 1, true, 0, 0},
        {"ok even if nothing reported written", S::Ok, 0, false, 0, 0},
        {"failed with bytes written", S::Failed, 1, false, 0, 0},
        {"failed, flush succeeds", S::Failed, 0, true, 1, 0},
        {"failed, flush fails (Windows broken pipe)", S::Failed, 0, false, 1, 1},
        {"pipe gone, flush would succeed (Wine)", S::PipeGone, 0, true, 0, 1},
        {"pipe gone, flush would fail (Windows)", S::PipeGone, 0, false, 0, 1},
        {"pipe gone with bytes written", S::PipeGone, 2, false, 0, 0},
    };
    for (const Case& c : cases) {
        FakePipe pipe;
        pipe.status = c.status;
        pipe.reportWritten = c.written;
        pipe.flushOk = c.flushOk;
        CountingReporter reporter;
        EXPECT_EQ(SendCommand({pc::SelectLine, 4, 0}, pipe, &reporter), 1) << c.name;
        EXPECT_EQ(pipe.writes, std::vector<std::string>{"p5\n"}) << c.name;
        EXPECT_EQ(pipe.flushes, c.wantFlushes) << c.name;
        EXPECT_EQ(reporter.reports, c.wantReports) << c.name;
    }
}

TEST(SendCommand, EachLostCommandIsReportedOnce) {
    FakePipe pipe;
    pipe.status = PipeWriter::WriteStatus::PipeGone;
    CountingReporter reporter;
    SendCommand({pc::ExitKey, 0, 0}, pipe, &reporter);
    SendCommand({pc::CursorKey, pc::Up, 0}, pipe, &reporter);
    EXPECT_EQ(reporter.reports, 2);
    EXPECT_EQ(pipe.writes, (std::vector<std::string>{"P", "K"}));
}

TEST(SendCommand, WithoutServicesTheLossIsNotReported) {
    FakePipe pipe;
    pipe.status = PipeWriter::WriteStatus::Failed;
    pipe.flushOk = false;
    EXPECT_EQ(SendCommand({pc::ExitKey, 0, 0}, pipe, nullptr), 1);
    EXPECT_EQ(pipe.flushes, 1);
}

TEST(SendCommand, NoByteFormWritesNothing) {
    FakePipe pipe;
    pipe.status = PipeWriter::WriteStatus::PipeGone;
    CountingReporter reporter;
    EXPECT_EQ(SendCommand({pc::Adjust, pc::AdjustUp, 29}, pipe, &reporter), 0);
    EXPECT_TRUE(pipe.writes.empty());
    EXPECT_EQ(pipe.flushes, 0);
    EXPECT_EQ(reporter.reports, 0);
}
}  // namespace
