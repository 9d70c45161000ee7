// Branch To: the edit field is limited to 32 characters (typed or pasted) and shows capitals.
#include "display/branch_to_dialog_win.h"

#include <cstdio>

#include "protocol/command_table.h"
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
    text_[0] = '\0';
    SendMessageA(Item(IDC_BRANCH_TEXT), WM_GETTEXT, sizeof(text_), reinterpret_cast<LPARAM>(text_));
    text_[MaxText] = '\0';
    EndDialog(IDOK);
}

int FormatBranchCommand(const char* text, char (&out)[36]) {
    const commands::Row* row = commands::ForKind(CommandKind::BranchTo);
    int n = std::snprintf(out, sizeof(out), "%s%.*s%c", row->bytes, BranchToDialog::MaxText, text ? text : "",
                          commands::End);
    return n < 0 ? 0 : (n < static_cast<int>(sizeof(out)) ? n : static_cast<int>(sizeof(out)) - 1);
}
