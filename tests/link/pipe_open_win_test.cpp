// What every client open of the control's pipes asks the system for (the panel's and the
// headless panel's pipes, the tap's side towards the control): identification-only quality of
// service and no right that lets a server end make instances. Wine ignores both, so the open
// itself is watched through the opener seam rather than through impersonation.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "link/pipe_client_win.h"
#include "link/pipe_io_win.h"
#include "tools/tap/tap_pipes_win.h"

namespace {

struct Open {
    std::string name;
    DWORD rights;
    DWORD flags;
};
std::vector<Open> g_opens;

// Records the open and hands back a handle the caller may close.
HANDLE WINAPI RecordingOpener(LPCSTR name, DWORD rights, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD flags, HANDLE) {
    g_opens.push_back({name, rights, flags});
    return CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

void OpenPanelPipes() {
    pipe_io::ClosePipe(pipe_io::OpenPipe("\\\\.\\pipe\\QuorvexRead2", connect_logic::PipeAccess::Read));
    pipe_io::ClosePipe(pipe_io::OpenPipe("\\\\.\\pipe\\QuorvexWrite2", connect_logic::PipeAccess::Write));
}

void OpenTapControlPipes() {
    HANDLE read = INVALID_HANDLE_VALUE;
    HANDLE write = INVALID_HANDLE_VALUE;
    std::string detail;
    ASSERT_EQ(OpenControlPipes(3, 0, read, write, detail), 0u) << detail;
    ClosePipe(read);
    ClosePipe(write);
}

TEST(PipeOpen, EveryClientEndAsksForIdentificationOnlyAndNoInstanceRight) {
    constexpr DWORD kWriteData = FILE_WRITE_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    const struct {
        const char* who;
        void (*open)();
        DWORD overlapped;
    } roads[] = {{"panel", &OpenPanelPipes, 0}, {"tap", &OpenTapControlPipes, FILE_FLAG_OVERLAPPED}};
    for (const auto& road : roads) {
        SCOPED_TRACE(road.who);
        g_opens.clear();
        const pipe_client::FileOpener before = pipe_client::UseOpener(&RecordingOpener);
        road.open();
        pipe_client::UseOpener(before);
        ASSERT_EQ(g_opens.size(), 2u);
        const DWORD wantRights[2] = {GENERIC_READ, kWriteData};
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(g_opens[i].name);
            EXPECT_NE(g_opens[i].name.find(i == 0 ? "QuorvexRead" : "QuorvexWrite"), std::string::npos);
            EXPECT_EQ(g_opens[i].rights, wantRights[i]);
            EXPECT_EQ(g_opens[i].rights & (FILE_APPEND_DATA | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED), 0u);
            // Exactly identification: no context tracking, no other level.
            EXPECT_EQ(g_opens[i].flags & SECURITY_VALID_SQOS_FLAGS,
                      static_cast<DWORD>(SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION));
            EXPECT_EQ(g_opens[i].flags & FILE_FLAG_OVERLAPPED, road.overlapped);
        }
    }
}

}  // namespace
