// The Connect To dialog: name field limited to 32 characters, radio pair, focus on the dialog.
#include "link/connect_dialog_win.h"

#include "res/resource_ids.h"

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
