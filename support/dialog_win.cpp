// Modal dialogs: the dialog procedure feeds the framework's dispatch; open dialogs are tracked
// so that a closing owner can end them without anything being sent.
#include "support/dialog_win.h"

namespace {
constexpr int kMaxOpen = 16;
thread_local Dialog* openDialogs[kMaxOpen] = {};

void Track(Dialog* d) {
    for (Dialog*& slot : openDialogs)
        if (!slot) {
            slot = d;
            return;
        }
}

void Untrack(Dialog* d) {
    for (Dialog*& slot : openDialogs)
        if (slot == d) slot = nullptr;
}
}  // namespace

void DataExchange::Text(int controlId, char* buffer, int capacity) {
    if (capacity <= 0) return;
    if (save_) {
        buffer[0] = '\0';
        GetDlgItemTextA(dialog_, controlId, buffer, capacity);
        buffer[capacity - 1] = '\0';
    } else {
        SetDlgItemTextA(dialog_, controlId, buffer);
    }
}

void DataExchange::Check(int controlId, int* checked) {
    if (save_)
        *checked = IsDlgButtonChecked(dialog_, controlId) == BST_CHECKED ? 1 : 0;
    else
        CheckDlgButton(dialog_, controlId, *checked ? BST_CHECKED : BST_UNCHECKED);
}

QV_BEGIN_MESSAGE_MAP(Dialog, Window)
QV_ON_MESSAGE(Dialog, WM_INITDIALOG, OnInitDialogMessage)
QV_ON_COMMAND(Dialog, IDOK, OnOKCommand)
QV_ON_COMMAND(Dialog, IDCANCEL, OnCancelCommand)
QV_END_MESSAGE_MAP()

Dialog::~Dialog() {
    Untrack(this);
    // A dialog window is owned by its modal loop, never destroyed from here.
    hwnd_ = nullptr;
}

INT_PTR Dialog::DoModal() {
    open_ = true;
    Track(this);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    INT_PTR result = unicodeFields_ ? DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent_,
                                                      &Dialog::StaticDialogProc, self)
                                    : DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent_,
                                                      &Dialog::StaticDialogProc, self);
    Untrack(this);
    open_ = false;
    return result;
}

void Dialog::EndDialog(INT_PTR result) {
    if (hwnd_) ::EndDialog(hwnd_, result);
}

void Dialog::CancelAllModal() {
    for (Dialog* d : openDialogs)
        if (d) d->EndDialog(IDCANCEL);
}

void Dialog::OnOK() {
    DataExchange dx(hwnd_, true);
    DoDataExchange(dx);
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT Dialog::Default() {
    defaultRequested_ = true;
    return 0;
}

LRESULT Dialog::OnInitDialogMessage(WPARAM, LPARAM) {
    DataExchange dx(hwnd_, false);
    DoDataExchange(dx);
    return OnInitDialog() ? TRUE : FALSE;
}

LRESULT Dialog::OnOKCommand(WPARAM, LPARAM) {
    OnOK();
    return 0;
}

LRESULT Dialog::OnCancelCommand(WPARAM, LPARAM) {
    OnCancel();
    return 0;
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = static_cast<Dialog*>(Window::FromHandle(hwnd));
    if (!self && message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->Attach(hwnd);
    }
    if (!self) return FALSE;
    self->defaultRequested_ = false;
    LRESULT result = self->Dispatch(message, wParam, lParam);
    // The object may have been deleted by its final message; only locals from here on.
    if (message == WM_NCDESTROY) return FALSE;
    if (self->defaultRequested_) return FALSE;
    if (message == WM_INITDIALOG) return result;
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
