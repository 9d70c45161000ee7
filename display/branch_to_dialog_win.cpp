// Branch To: the edit field takes no more than a Branch To text may hold (typed or pasted) and
// shows capitals. A text that may not go out (set into the field by another process, or with a
// pasted tab) is refused with a beep and the dialog stays open, so nothing else can ride on the
// command.
#include "display/branch_to_dialog_win.h"

#include <cstring>

#include "res/resource_ids.h"

BranchToDialog::BranchToDialog(HWND parent) : Dialog(IDD_BRANCH_TO, parent) {}

bool BranchToDialog::OnInitDialog() {
    HWND edit = Item(IDC_BRANCH_TEXT);
    SendMessageA(edit, EM_LIMITTEXT, MaxText, 0);
    SetWindowTextA(edit, text_);
    SetFocus(hwnd_);
    return false;
}

void BranchToDialog::OnOK() {
    HWND edit = Item(IDC_BRANCH_TEXT);
    // Room for one character past the limit: a longer text is seen as such, not cut to fit.
    char text[MaxText + 2] = "";
    const int n = GetWindowTextA(edit, text, sizeof text);
    if (n < 0 || commands::CheckBranchText({text, static_cast<size_t>(n)}) != commands::BranchText::Ok) {
        MessageBeep(MB_OK);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return;
    }
    std::memcpy(text_, text, static_cast<size_t>(n) + 1);
    EndDialog(IDOK);
}
