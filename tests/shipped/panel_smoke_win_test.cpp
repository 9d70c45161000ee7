// quorvex.exe as shipped, against the substitute control application's strict script: connect,
// About with the control's key read from the 32-bit registry view, every key once, a line
// click, Branch To, and the end on the control's exit code. Built and run for x64 and for x86
// (under Wine's 32-bit support), so that each architecture's panel passes the same tour.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "display/display_font_win.h"
#include "display/display_geometry.h"
#include "res/resource_ids.h"
#include "tests/app/panel_process_win.h"
#include "tests/app/sim_script_win.h"
#include "tests/keypad/every_key_bytes.h"
#include "tests/keypad/panel_input_win.h"
#include "tests/support/footprint_key_win.h"

namespace {
using namespace panel_input;
constexpr DWORD kWait = 10000;
constexpr DWORD kSettle = 120;

std::string Escaped(const std::string& bytes) {
    std::string out;
    for (char c : bytes) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

POINT LineSpot(HWND frame, int index) {
    return OnScreen(frame, 40, display_geometry::Top + index * display_geometry::CellHeight + 7);
}

TEST(PanelSmoke, ConnectAboutEveryKeyLineClickBranchToAndTheControlsExit) {
    FootprintInOneView footprint(KEY_WOW64_32KEY);
    ASSERT_TRUE(footprint.Ok());
    const std::string partNumber = "SMOKE-" + std::to_string(GetCurrentProcessId());
    footprint.Set("PartNumber", partNumber);

    std::string script = "expect PPK 10000\n";
    for (const KeyBytes& k : kEveryKey) script += "expect " + Escaped(k.bytes) + "\n";
    script += "expect p4\\n\n";            // the click on line 4
    script += "expect p6\\n\n";            // the double click's first click on line 6
    script += "expect qSTATUS\\n\n";       // Branch To
    script += "send \\x16\n";
    SimScript sim(script, 2, 30000);
    ASSERT_TRUE(sim.Started());
    PanelProcess panel("-l");
    HWND frame = panel.WaitMainWindow("LOCAL - Quorvex", kWait);
    ASSERT_NE(frame, nullptr) << sim.Output();
    EXPECT_EQ(panel.StatusPane(frame, 2), "Connected to device 2");

    PostMessageA(frame, WM_COMMAND, ID_APP_ABOUT, 0);
    HWND about = panel.WaitDialog("About Quorvex", kWait);
    ASSERT_NE(about, nullptr) << "Help, About did not open";
    char shown[64] = "";
    GetDlgItemTextA(about, IDC_ABOUT_PART_NUMBER, shown, sizeof shown);
    EXPECT_EQ(shown, partNumber) << "the About box did not read the control's key in the 32-bit view";
    PressButton(about, IDOK);
    for (int i = 0; i < 100 && IsWindow(about); ++i) Sleep(20);
    ASSERT_FALSE(IsWindow(about));

    for (const KeyBytes& k : kEveryKey) {
        Click(KeyCenter(frame, k.id));
        Sleep(kSettle);
    }
    Click(LineSpot(frame, 3));
    Sleep(kSettle);
    Click(LineSpot(frame, 5));
    Click(LineSpot(frame, 5));
    HWND branch = panel.WaitDialog("Branch To", kWait);
    ASSERT_NE(branch, nullptr) << "a double click did not open Branch To\n" << sim.Output();
    SetDlgItemTextA(branch, IDC_BRANCH_TEXT, "STATUS");
    PressButton(branch, IDOK);

    EXPECT_EQ(sim.WaitExit(kWait), 0) << sim.Output();
    EXPECT_EQ(panel.WaitExit(kWait), 0) << "the panel did not end on the control's exit code";
}
}  // namespace
