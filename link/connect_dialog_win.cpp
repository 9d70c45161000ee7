// The Connect To dialog: name field limited to 32 characters, radio pair, focus on the dialog,
// and a remote computer's name checked before it is taken.
#include "link/connect_dialog_win.h"

#include "link/connect_name.h"
#include "link/link_text_win.h"
#include "res/resource_ids.h"
#include "support/text_ids.h"

ConnectDialog::ConnectDialog(HWND parent, connect_logic::ConnectionChoice* choice)
    : Dialog(IDD_CONNECT_TO, parent), choice_(choice) {}

void ConnectDialog::DoDataExchange(DataExchange& dx) {
    if (!dx.Saving()) SendDlgItemMessageA(hwnd_, IDC_COMPUTER_NAME, EM_LIMITTEXT, connect_logic::kNameCapacity - 1, 0);
    dx.Text(IDC_COMPUTER_NAME, choice_->computerName, connect_logic::kNameCapacity);
    if (dx.Saving())
        dx.Check(IDC_CONNECT_REMOTE, &choice_->remote);
    else
        CheckRadioButton(hwnd_, IDC_CONNECT_LOCAL, IDC_CONNECT_REMOTE,
                         choice_->remote ? IDC_CONNECT_REMOTE : IDC_CONNECT_LOCAL);
}

bool ConnectDialog::OnInitDialog() {
    // The dialog's own focus handling then puts it on the first tab stop.
    SetFocus(hwnd_);
    return false;
}

void ConnectDialog::OnOK() {
    if (!NameAcceptable()) {
        RefuseName();
        return;
    }
    Dialog::OnOK();
}

bool ConnectDialog::NameAcceptable() const {
    if (IsDlgButtonChecked(hwnd_, IDC_CONNECT_REMOTE) != BST_CHECKED) return true;
    // The length limit binds typing only: text set from outside may be longer, and cut to fit
    // it could pass as another name.
    HWND field = Item(IDC_COMPUTER_NAME);
    if (GetWindowTextLengthA(field) >= connect_logic::kNameCapacity) return false;
    char name[connect_logic::kNameCapacity] = "";
    GetWindowTextA(field, name, sizeof name);
    return connect_logic::IsComputerName(name);
}

void ConnectDialog::RefuseName() {
    char text[256];
    char caption[128];
    MessageBoxA(hwnd_, link_text::Load(text_id::BadComputerName, text, sizeof(text)),
                link_text::Load(text_id::ApplicationName, caption, sizeof(caption)), MB_ICONEXCLAMATION | MB_OK);
    HWND field = Item(IDC_COMPUTER_NAME);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}
