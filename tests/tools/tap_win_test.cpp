// quorvex-tap under Wine between a test control (a pipe peer) and a test panel (a pipe client):
// the control sees no client until a panel has come, a control that leaves first ends the tap,
// a start that fails leaves no capture file, and forwarding goes on whole and in order whatever
// the reader of a capture on standard output does.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/app/panel_process_win.h"
#include "tests/tools/sim_client_win.h"
#include "tools/common/capture_file.h"

namespace {
constexpr DWORD kWait = 15000;
constexpr int kListen = 6;
constexpr int kControl = 7;

std::string FullPath(const char* name) {
    char full[MAX_PATH];
    GetFullPathNameA(name, MAX_PATH, full, nullptr);
    return full;
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TapArguments(const std::string& capture) {
    return "--listen " + std::to_string(kListen) + " --control " + std::to_string(kControl) + " --capture \"" + capture +
           "\"";
}

// Each direction's bytes in the capture, in file order.
void Directions(const std::string& file, std::string& toPanel, std::string& toControl) {
    const capture::ReadResult read = capture::Read(file);
    EXPECT_EQ(read.id, 0u);
    EXPECT_FALSE(read.cut);
    for (const capture::Record& r : read.records) (r.direction == capture::Direction::ToPanel ? toPanel : toControl) += r.bytes;
}

// What the control sees and what is left on disk, from the start to a panel or to a failed start.
TEST(TapStart, TheControlSeesAClientOnlyOnceAPanelCameAndAFailedStartLeavesNoFile) {
    const std::string path = FullPath("tap_start.pcapng");
    struct Row {
        const char* name;
        bool control;       // a control offers device 7 when the tap starts
        bool leaves;        // it goes away before a panel connects
        bool panel;         // a panel connects
        int status;
        const char* said;
    };
    const Row rows[] = {
        {"no control", false, false, false, 2, "cannot open the control application's pipes"},
        {"the control leaves first", true, true, false, 2, "the control application's pipes went away before a panel"},
        {"a panel comes", true, false, true, 0, "session ended: the panel closed its pipes"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        DeleteFileA(path.c_str());
        PipePeer control(r.control ? kControl : 14);  // without a control: a peer on a device nobody asks for
        ASSERT_TRUE(control.Ok());
        ToolProcess tap("tap", TapArguments(path));
        if (r.control) {
            ASSERT_TRUE(tap.WaitOutput("offering device 6", kWait)) << tap.Output();
            Sleep(500);
            EXPECT_FALSE(control.Opened()) << "the tap opened the control's pipes before a panel came";
            EXPECT_FALSE(Exists(path)) << "the capture was made before both sides were there";
        }
        if (r.leaves) control.Vanish();
        if (r.panel) {
            PanelClient panel;
            ASSERT_TRUE(panel.Open(kListen, kWait));
            ASSERT_TRUE(control.WaitConnected(kWait)) << tap.Output();
            EXPECT_TRUE(control.Send("\x1A" "HELLO"));
            EXPECT_TRUE(panel.ReadUntil("\x1A" "HELLO", kWait));
            EXPECT_TRUE(panel.Write("PPK"));
            EXPECT_EQ(control.Receive(3, kWait), "PPK");
        }
        EXPECT_EQ(tap.WaitExit(kWait), r.status) << tap.Output();
        EXPECT_NE(tap.Output().find(r.said), std::string::npos) << tap.Output();
        EXPECT_EQ(Exists(path), r.panel);
        if (r.panel) {
            std::string toPanel, toControl;
            Directions(ReadAll(path), toPanel, toControl);
            EXPECT_EQ(toPanel, "\x1A" "HELLO");
            EXPECT_EQ(toControl, "PPK");
        }
    }
    DeleteFileA(path.c_str());
}

// Bytes that show a reordering or a loss: each 4-byte group counts up; they end with "<END>",
// which they hold nowhere else.
std::string Pattern(char tag, size_t size) {
    std::string bytes;
    for (size_t i = 0; bytes.size() < size; ++i) {
        bytes += tag;
        bytes += static_cast<char>('A' + i % 26);
        bytes += static_cast<char>('a' + i / 26 % 26);
        bytes += static_cast<char>('0' + i / 676 % 10);
    }
    return bytes + "<END>";
}

// Everything the pipe holds until the writer closes it, or what came within the time.
std::string ReadToEnd(HANDLE pipe, DWORD timeoutMs, bool& ended) {
    std::string got;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    ended = false;
    while (GetTickCount64() < deadline) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
            ended = true;
            break;
        }
        if (!available) {
            Sleep(10);
            continue;
        }
        std::string buffer(available, '\0');
        DWORD n = 0;
        if (!ReadFile(pipe, &buffer[0], available, &n, nullptr)) break;
        got.append(buffer, 0, n);
    }
    return got;
}

// A capture on standard output whose reader has not started (it reads only after the session)
// or has gone: both directions still pass whole and in order; then the capture is whole, or the
// tap says it is not and exits 1. The pipe holds 1 KiB, far less than the session.
TEST(TapCaptureReader, ForwardingNeverWaitsForTheCapturesReader) {
    const std::string toPanel = Pattern('d', 48 * 1024);
    const std::string toControl = Pattern('c', 8 * 1024);
    struct Row {
        const char* name;
        bool gone;  // the reader closed its end before the session
    };
    for (const Row& r : {Row{"not reading yet", false}, Row{"gone", true}}) {
        SCOPED_TRACE(r.name);
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE reader = INVALID_HANDLE_VALUE, writer = INVALID_HANDLE_VALUE;
        ASSERT_TRUE(CreatePipe(&reader, &writer, &inherit, 1024));
        SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
        PipePeer control(kControl);
        ASSERT_TRUE(control.Ok());
        ToolProcess tap("tap", TapArguments("-"), writer);
        CloseHandle(writer);
        if (r.gone) {
            CloseHandle(reader);
            reader = INVALID_HANDLE_VALUE;
        }
        ASSERT_TRUE(tap.WaitOutput("offering device 6", kWait)) << tap.Output();
        {
            PanelClient panel;
            ASSERT_TRUE(panel.Open(kListen, kWait));
            ASSERT_TRUE(control.WaitConnected(kWait)) << tap.Output();
            EXPECT_TRUE(panel.Write(toControl));
            EXPECT_TRUE(control.Send(toPanel)) << "the tap stopped taking the control's bytes\n" << tap.Output();
            EXPECT_TRUE(panel.ReadUntil("<END>", kWait)) << tap.Output();
            EXPECT_TRUE(panel.Received() == toPanel) << panel.Received().size() << " bytes of " << toPanel.size();
            EXPECT_TRUE(control.Receive(toControl.size(), kWait) == toControl);
        }  // the panel leaves: the session ends
        if (r.gone) {
            EXPECT_EQ(tap.WaitExit(kWait), 1) << tap.Output();
            EXPECT_NE(tap.Output().find("standard output: the capture file could not be written"), std::string::npos)
                << tap.Output();
            continue;
        }
        bool ended = false;
        const std::string file = ReadToEnd(reader, kWait, ended);
        CloseHandle(reader);
        EXPECT_TRUE(ended) << "the tap did not end its standard output";
        EXPECT_EQ(tap.WaitExit(kWait), 0) << tap.Output();
        std::string inbound, outbound;
        Directions(file, inbound, outbound);
        EXPECT_TRUE(inbound == toPanel) << inbound.size() << " bytes of " << toPanel.size() << " in the capture";
        EXPECT_TRUE(outbound == toControl) << outbound.size() << " bytes of " << toControl.size() << " in the capture";
    }
}
}  // namespace
